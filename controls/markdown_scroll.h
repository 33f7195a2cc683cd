#pragma once
// Scroll arithmetic of the help view: positions are pixels from the top of the content.

#include <optional>

namespace orvello {

// Scroll-bar requests, numbered as the SB_ codes of WM_VSCROLL.
enum class ScrollRequest : int {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8,
};

// What a view's scrolling depends on.
struct ScrollExtent {
    int contentHeightPx = 0;
    int clientHeightPx = 0;
    int lineHeightPx = 0;
};

// The scroll bar is shown only while the content is taller than the view.
[[nodiscard]] constexpr bool ContentOverflows(const ScrollExtent& extent) {
    return extent.contentHeightPx > extent.clientHeightPx;
}

// The last position at which the view is still full: content height less the view's height.
[[nodiscard]] int MaxScrollPosPx(const ScrollExtent& extent);

// The position after a scroll-bar request, clamped to 0..MaxScrollPosPx. `thumbPosPx` is the
// position a thumb request carries; requests the view does not know leave the position alone.
[[nodiscard]] int ScrollPosAfterRequest(int scrollPosPx, int request, int thumbPosPx,
                                        const ScrollExtent& extent);

// One wheel notch (120) scrolls three lines; parts of a notch do not scroll. Nothing when the
// content fits the view, so that the message goes on to default processing.
inline constexpr int kWheelDeltaPerNotch = 120;
inline constexpr int kLinesPerWheelNotch = 3;
[[nodiscard]] std::optional<int> ScrollPosAfterWheel(int scrollPosPx, int wheelDelta,
                                                     const ScrollExtent& extent);

}  // namespace orvello
