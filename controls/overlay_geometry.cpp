#include "controls/overlay_geometry.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace orvello {
namespace {

// Lengths at 96 DPI.
constexpr int kWidth = 220;
constexpr int kHeight = 72;
constexpr int kLiveTextWidth = 520;  // the whole window's, while it shows the text so far
constexpr int kLiveTextHeight = 52;  // added above the status row for two lines of text
constexpr int kCornerEllipse = 18;
constexpr int kSideMargin = 16;       // panel edges to text and bars; monitor edge to window
constexpr int kBottomClearance = 36;  // window bottom above the monitor's bottom edge
constexpr int kTextTop = 10;
constexpr int kTextBottomInset = 36;
constexpr int kBarGap = 4;
constexpr int kBarMinHeight = 4;
constexpr int kBarBaselineInset = 14;
constexpr int kBarTopInset = 36;
constexpr int kBarMinWidth = 4;
constexpr int kBarCornerEllipse = 4;
constexpr int kTextSizeTenthsOfPoint = 104;
constexpr int kTenthsOfPointPerInch = 720;

struct BarMetrics {
    int gapPx, minHeightPx, maxHeightPx, baselineY, firstX, widthPx;
};

BarMetrics MeasureBars(const PixelRect& client, int dpi) {
    BarMetrics bars{};
    bars.gapPx = ScaleForDpi(kBarGap, dpi);
    bars.minHeightPx = ScaleForDpi(kBarMinHeight, dpi);
    bars.baselineY = client.bottom - ScaleForDpi(kBarBaselineInset, dpi);
    bars.maxHeightPx = bars.baselineY - (client.top + ScaleForDpi(kBarTopInset, dpi));
    bars.firstX = client.left + ScaleForDpi(kSideMargin, dpi);
    const int spanPx = client.right - (kOverlayBarCount - 1) * bars.gapPx - bars.firstX -
                       ScaleForDpi(kSideMargin, dpi);
    bars.widthPx = std::max(ScaleForDpi(kBarMinWidth, dpi), spanPx / kOverlayBarCount);
    return bars;
}

int BarHeightPx(float level, const BarMetrics& bars) {
    const float extraPx = static_cast<float>(bars.maxHeightPx - bars.minHeightPx) * level;
    const int heightPx = bars.minHeightPx + static_cast<int>(extraPx);
    return std::min(bars.maxHeightPx, std::max(bars.minHeightPx, heightPx));
}

}  // namespace

int OverlayWidthPx(int dpi) {
    return ScaleForDpi(kWidth, dpi);
}
int OverlayHeightPx(int dpi) {
    return ScaleForDpi(kHeight, dpi);
}
int OverlayCornerEllipsePx(int dpi) {
    return ScaleForDpi(kCornerEllipse, dpi);
}
int OverlayBarCornerEllipsePx(int dpi) {
    return ScaleForDpi(kBarCornerEllipse, dpi);
}

PixelRect OverlayRegionRect(const PixelRect& client) {
    return PixelRect{client.left, client.top, client.right + 1, client.bottom + 1};
}

int OverlayTextFontHeight(int screenDpi) {
    return -MulDivRounded(screenDpi, kTextSizeTenthsOfPoint, kTenthsOfPointPerInch);
}

PixelRect OverlayWindowRect(const PixelRect& monitor, int dpi, bool withLiveText) {
    const int widthPx =
        withLiveText ? std::max(OverlayWidthPx(dpi),
                                std::min(ScaleForDpi(kLiveTextWidth, dpi),
                                         monitor.Width() - 2 * ScaleForDpi(kSideMargin, dpi)))
                     : OverlayWidthPx(dpi);
    const int heightPx =
        OverlayHeightPx(dpi) + (withLiveText ? ScaleForDpi(kLiveTextHeight, dpi) : 0);
    const int left =
        monitor.left + std::max(ScaleForDpi(kSideMargin, dpi), (monitor.Width() - widthPx) / 2);
    const int top = monitor.top + monitor.Height() - ScaleForDpi(kBottomClearance, dpi) - heightPx;
    return PixelRect{left, top, left + widthPx, top + heightPx};
}

PixelRect OverlayStatusRow(const PixelRect& client, int dpi) {
    const int widthPx = OverlayWidthPx(dpi);
    const int left = client.left + (client.Width() - widthPx) / 2;
    return PixelRect{left, client.bottom - OverlayHeightPx(dpi), left + widthPx, client.bottom};
}

PixelRect OverlayLiveTextBand(const PixelRect& client, int dpi) {
    return PixelRect{client.left + ScaleForDpi(kSideMargin, dpi),
                     client.top + ScaleForDpi(kTextTop, dpi),
                     client.right - ScaleForDpi(kSideMargin, dpi),
                     client.bottom - OverlayHeightPx(dpi) + ScaleForDpi(kTextTop / 2, dpi)};
}

PixelRect OverlayTextBand(const PixelRect& client, int dpi) {
    return PixelRect{client.left + ScaleForDpi(kSideMargin, dpi),
                     client.top + ScaleForDpi(kTextTop, dpi),
                     client.right - ScaleForDpi(kSideMargin, dpi),
                     client.bottom - ScaleForDpi(kTextBottomInset, dpi)};
}

RgbColour OverlayBarColour(float level) {
    if (level <= kOverlayRestingLevel) return kOverlayRestingBarColour;
    const float u = std::max(0.0f, std::min(1.25f * level, 1.0f));
    return RgbColour{static_cast<std::uint8_t>(34.0f + 22.0f * u),
                     static_cast<std::uint8_t>(197.0f - 8.0f * u),
                     static_cast<std::uint8_t>(94.0f + 154.0f * u)};
}

std::array<OverlayBar, kOverlayBarCount> OverlayBars(const PixelRect& client, int dpi,
                                                     const std::deque<float>& history) {
    const BarMetrics metrics = MeasureBars(client, dpi);
    std::array<OverlayBar, kOverlayBarCount> bars{};
    for (int i = 0; i < kOverlayBarCount; ++i) {
        const float level = static_cast<std::size_t>(i) < history.size() ? history[i] : 0.0f;
        const int left = metrics.firstX + i * (metrics.widthPx + metrics.gapPx);
        const int heightPx = BarHeightPx(level, metrics);
        bars[i] = OverlayBar{PixelRect{left, metrics.baselineY - heightPx, left + metrics.widthPx,
                                       metrics.baselineY},
                             OverlayBarColour(level)};
    }
    return bars;
}

}  // namespace orvello
