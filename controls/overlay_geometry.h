#pragma once
// Geometry and colours of the status overlay: where the panel sits on the primary monitor,
// where its text and level bars go and what colour a bar has. Lengths are given at 96 DPI and
// scaled to the monitor's DPI.

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "controls/pixel_geometry.h"

namespace orvello {

inline constexpr int kOverlayBarCount = 24;

inline constexpr RgbColour kOverlayOutsideColour{0, 0, 0};
inline constexpr RgbColour kOverlayPanelColour{24, 28, 34};
inline constexpr RgbColour kOverlayBorderColour{72, 82, 98};
inline constexpr RgbColour kOverlayTextColour{241, 245, 249};
inline constexpr RgbColour kOverlayRestingBarColour{73, 82, 97};

// Levels at or below this draw a bar in the resting colour.
inline constexpr float kOverlayRestingLevel = 0.02f;

// Width and height of the window (and diameter of its rounded corners) at a DPI.
[[nodiscard]] int OverlayWidthPx(int dpi);
[[nodiscard]] int OverlayHeightPx(int dpi);
[[nodiscard]] int OverlayCornerEllipsePx(int dpi);
[[nodiscard]] int OverlayBarCornerEllipsePx(int dpi);

// The window region's rounded rectangle: one pixel beyond the client area on the right and at
// the bottom, because a region's rounded rectangle excludes its own right and bottom edges.
[[nodiscard]] PixelRect OverlayRegionRect(const PixelRect& client);

// lfHeight of the text font: 10.4 points at the screen's DPI (negative: character height).
[[nodiscard]] int OverlayTextFontHeight(int screenDpi);

// Bottom centre of the monitor's full rectangle (not its work area), the bottom edge kept
// clear of the monitor's bottom edge and the left edge at least a margin from its left edge.
// With the text so far the window is wider (within the monitor) and taller, upwards.
[[nodiscard]] PixelRect OverlayWindowRect(const PixelRect& monitor, int dpi,
                                          bool withLiveText = false);
// Where the state's text and the bars go: the window's own size at the bottom of the client
// area, centred. All of it unless the window shows the text so far.
[[nodiscard]] PixelRect OverlayStatusRow(const PixelRect& client, int dpi);
// The lines of the text so far: above the status row.
inline constexpr std::size_t kOverlayLiveTextLines = 2;
[[nodiscard]] PixelRect OverlayLiveTextBand(const PixelRect& client, int dpi);

// The band the state's text is centred in vertically.
[[nodiscard]] PixelRect OverlayTextBand(const PixelRect& client, int dpi);

struct OverlayBar {
    PixelRect rect;
    RgbColour colour;
};

// Bar colour of a shaped level: green at rest towards blue at full level.
[[nodiscard]] RgbColour OverlayBarColour(float level);

// The 24 bars of the level graph, oldest on the left; positions beyond the history are 0.
[[nodiscard]] std::array<OverlayBar, kOverlayBarCount> OverlayBars(
    const PixelRect& client, int dpi, const std::deque<float>& history);

}  // namespace orvello
