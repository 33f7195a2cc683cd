#include "controls/markdown_scroll.h"

#include <algorithm>

namespace orvello {
namespace {

int ClampScrollPos(int scrollPosPx, const ScrollExtent& extent) {
    return std::clamp(scrollPosPx, 0, MaxScrollPosPx(extent));
}

int UnclampedPosAfterRequest(int scrollPosPx, ScrollRequest request, int thumbPosPx,
                             const ScrollExtent& extent) {
    switch (request) {
        case ScrollRequest::LineUp:
            return scrollPosPx - extent.lineHeightPx;
        case ScrollRequest::LineDown:
            return scrollPosPx + extent.lineHeightPx;
        case ScrollRequest::PageUp:
            return scrollPosPx - extent.clientHeightPx;
        case ScrollRequest::PageDown:
            return scrollPosPx + extent.clientHeightPx;
        case ScrollRequest::ThumbPosition:
        case ScrollRequest::ThumbTrack:
            return thumbPosPx;
        case ScrollRequest::Top:
            return 0;
        case ScrollRequest::Bottom:
            return MaxScrollPosPx(extent);
        case ScrollRequest::EndScroll:
            break;
    }
    return scrollPosPx;
}

}  // namespace

int MaxScrollPosPx(const ScrollExtent& extent) {
    return std::max(0, extent.contentHeightPx - extent.clientHeightPx);
}

int ScrollPosAfterRequest(int scrollPosPx, int request, int thumbPosPx,
                          const ScrollExtent& extent) {
    const bool known = request >= static_cast<int>(ScrollRequest::LineUp) &&
                       request < static_cast<int>(ScrollRequest::EndScroll);
    const int unclamped =
        known ? UnclampedPosAfterRequest(scrollPosPx, static_cast<ScrollRequest>(request),
                                         thumbPosPx, extent)
              : scrollPosPx;
    return ClampScrollPos(unclamped, extent);
}

std::optional<int> ScrollPosAfterWheel(int scrollPosPx, int wheelDelta,
                                       const ScrollExtent& extent) {
    if (!ContentOverflows(extent)) return std::nullopt;
    const int notchesDown = wheelDelta / -kWheelDeltaPerNotch;  // truncates toward zero
    return ClampScrollPos(scrollPosPx + notchesDown * extent.lineHeightPx * kLinesPerWheelNotch,
                          extent);
}

}  // namespace orvello
