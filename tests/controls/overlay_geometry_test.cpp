#include "controls/overlay_geometry.h"

#include <gtest/gtest.h>

#include "controls/overlay_status.h"

namespace orvello {
namespace {

constexpr PixelRect kFullHd{0, 0, 1920, 1080};

std::deque<float> History(std::initializer_list<float> newestLast) {
    std::deque<float> history(kOverlayBarCount - newestLast.size(), 0.0f);
    history.insert(history.end(), newestLast);
    return history;
}

TEST(OverlayScalingTest, RoundsLikeMulDiv) {
    EXPECT_EQ(MulDivRounded(5, 3, 2), 8);
    EXPECT_EQ(MulDivRounded(-5, 3, 2), -8);
    EXPECT_EQ(MulDivRounded(5, 3, -2), -8);
    EXPECT_EQ(MulDivRounded(7, 1, 0), -1);
    EXPECT_EQ(MulDivRounded(0x7FFFFFFF, 4, 1), -1);
    EXPECT_EQ(ScaleForDpi(18, 144), 27);
    EXPECT_EQ(ScaleForDpi(4, 120), 5);
    EXPECT_EQ(ScaleForDpi(14, 120), 18);  // 17.5
}

TEST(OverlayPlacementTest, BottomCentreOfTheMonitorAt96Dpi) {
    EXPECT_EQ(OverlayWindowRect(kFullHd, 96), (PixelRect{850, 972, 1070, 1044}));
    EXPECT_EQ(OverlayCornerEllipsePx(96), 18);
}

TEST(OverlayPlacementTest, ScalesEveryLengthAt150Percent) {
    const PixelRect window = OverlayWindowRect(kFullHd, 144);
    EXPECT_EQ(window.Width(), 330);
    EXPECT_EQ(window.Height(), 108);
    EXPECT_EQ(kFullHd.bottom - window.bottom, 54);
    EXPECT_EQ(window.left, (1920 - 330) / 2);
    EXPECT_EQ(OverlayCornerEllipsePx(144), 27);
}

// The status row keeps the window's own size and place; the text so far goes above it.
TEST(OverlayPlacementTest, TheTextSoFarWidensTheWindowAndGrowsItUpwards) {
    const PixelRect window = OverlayWindowRect(kFullHd, 96, true);
    EXPECT_EQ(window, (PixelRect{700, 920, 1220, 1044}));
    const PixelRect client{0, 0, window.Width(), window.Height()};
    EXPECT_EQ(OverlayStatusRow(client, 96), (PixelRect{150, 52, 370, 124}));
    EXPECT_EQ(OverlayLiveTextBand(client, 96), (PixelRect{16, 10, 504, 57}));
    EXPECT_EQ(OverlayWindowRect(PixelRect{0, 0, 400, 300}, 96, true).Width(), 368);
}

TEST(OverlayPlacementTest, UsesTheMonitorsOwnOrigin) {
    const PixelRect monitor{-1280, -200, 0, 824};
    EXPECT_EQ(OverlayWindowRect(monitor, 96), (PixelRect{-750, 716, -530, 788}));
}

TEST(OverlayPlacementTest, NarrowMonitorKeepsTheLeftMargin) {
    EXPECT_EQ(OverlayWindowRect({0, 0, 240, 600}, 96).left, 16);
    EXPECT_EQ(OverlayWindowRect({100, 0, 300, 600}, 96).left, 116);
    EXPECT_EQ(OverlayWindowRect({0, 0, 252, 600}, 96).left, 16);  // exactly w + 2 margins
    EXPECT_EQ(OverlayWindowRect({0, 0, 254, 600}, 96).left, 17);
    EXPECT_EQ(OverlayWindowRect({0, 0, 330, 600}, 144).left, 24);
}

TEST(OverlayPanelTest, TextBandAndRegionAt96Dpi) {
    const PixelRect client{0, 0, 220, 72};
    EXPECT_EQ(OverlayTextBand(client, 96), (PixelRect{16, 10, 204, 36}));
    EXPECT_EQ(OverlayTextBand({0, 0, 330, 108}, 144), (PixelRect{24, 15, 306, 54}));
    EXPECT_EQ(OverlayRegionRect(client), (PixelRect{0, 0, 221, 73}));
    EXPECT_EQ(OverlayTextFontHeight(96), -14);
    EXPECT_EQ(OverlayTextFontHeight(144), -21);
}

TEST(OverlayBarsTest, RestingBarsAt96DpiSpanSixteenTo204) {
    const auto bars = OverlayBars({0, 0, 220, 72}, 96, History({}));
    for (int i = 0; i < kOverlayBarCount; ++i) {
        EXPECT_EQ(bars[i].rect, (PixelRect{16 + 8 * i, 54, 20 + 8 * i, 58})) << "bar " << i;
        EXPECT_EQ(bars[i].colour, kOverlayRestingBarColour);
    }
    EXPECT_EQ(bars.back().rect.right, 204);
    EXPECT_EQ(OverlayBarCornerEllipsePx(96), 4);
}

TEST(OverlayBarsTest, FullLevelReachesTheTopLimitInBlue) {
    const auto bars = OverlayBars({0, 0, 220, 72}, 96, History({ShapeOverlayLevel(1000)}));
    EXPECT_EQ(bars.back().rect, (PixelRect{200, 36, 204, 58}));
    EXPECT_EQ(bars.back().colour, (RgbColour{56, 189, 248}));
    EXPECT_EQ(bars[22].rect.top, 54);
}

TEST(OverlayBarsTest, HalfLevelIsShapedUpwards) {
    // 0.5 ^ 0.6 = 0.6598: 4 + 18 * 0.6598 = 15 px.
    const auto bars = OverlayBars({0, 0, 220, 72}, 96, History({ShapeOverlayLevel(500)}));
    EXPECT_EQ(bars.back().rect, (PixelRect{200, 43, 204, 58}));
    EXPECT_EQ(bars.back().colour, (RgbColour{52, 190, 221}));
}

TEST(OverlayBarsTest, ColourStaysAtRestUpToTwoHundredths) {
    EXPECT_EQ(OverlayBarColour(0.0f), kOverlayRestingBarColour);
    EXPECT_EQ(OverlayBarColour(0.02f), kOverlayRestingBarColour);
    EXPECT_EQ(OverlayBarColour(0.021f), (RgbColour{34, 196, 98}));
    EXPECT_EQ(OverlayBarColour(0.8f), (RgbColour{56, 189, 248}));  // 1.25 × 0.8 reaches full
    EXPECT_EQ(OverlayBarColour(1.0f), (RgbColour{56, 189, 248}));
}

TEST(OverlayBarsTest, ShortHistoryLeavesTheRightBarsAtRest) {
    const std::deque<float> oldestOnly{1.0f, 1.0f};
    const auto bars = OverlayBars({0, 0, 220, 72}, 96, oldestOnly);
    EXPECT_EQ(bars[0].rect.top, 36);
    EXPECT_EQ(bars[1].rect.top, 36);
    EXPECT_EQ(bars[2].rect.top, 54);
    EXPECT_EQ(bars[23].colour, kOverlayRestingBarColour);
}

TEST(OverlayBarsTest, ScaledAt150Percent) {
    const auto bars = OverlayBars({0, 0, 330, 108}, 144, History({1.0f}));
    EXPECT_EQ(bars[0].rect, (PixelRect{24, 81, 30, 87}));  // 6 px minimum on a baseline at 87
    EXPECT_EQ(bars[1].rect.left, 36);                      // 6 px bars with 6 px gaps
    EXPECT_EQ(bars[23].rect, (PixelRect{300, 54, 306, 87}));
}

TEST(OverlayBarsTest, WiderClientGivesWiderBars) {
    // (300 - 92 - 32) / 24 = 7 px bars.
    const auto bars = OverlayBars({0, 0, 300, 72}, 96, History({}));
    EXPECT_EQ(bars[0].rect, (PixelRect{16, 54, 23, 58}));
    EXPECT_EQ(bars[1].rect.left, 27);
}

}  // namespace
}  // namespace orvello
