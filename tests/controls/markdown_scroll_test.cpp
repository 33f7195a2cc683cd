#include "controls/markdown_scroll.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

// 500 px of content in a 200 px view with 20 px lines: positions 0..300.
constexpr ScrollExtent kTall{.contentHeightPx = 500, .clientHeightPx = 200, .lineHeightPx = 20};
constexpr ScrollExtent kShort{.contentHeightPx = 150, .clientHeightPx = 200, .lineHeightPx = 20};

int After(ScrollRequest request, int fromPx, int thumbPx = 0, ScrollExtent extent = kTall) {
    return ScrollPosAfterRequest(fromPx, static_cast<int>(request), thumbPx, extent);
}

TEST(MarkdownScrollTest, MaximumIsContentLessViewAndNeverNegative) {
    EXPECT_EQ(MaxScrollPosPx(kTall), 300);
    EXPECT_EQ(MaxScrollPosPx(kShort), 0);
    EXPECT_TRUE(ContentOverflows(kTall));
    EXPECT_FALSE(ContentOverflows(kShort));
    EXPECT_FALSE(ContentOverflows({.contentHeightPx = 200, .clientHeightPx = 200}));
}

TEST(MarkdownScrollTest, LineAndPageRequestsMoveByLineAndViewHeight) {
    EXPECT_EQ(After(ScrollRequest::LineDown, 0), 20);
    EXPECT_EQ(After(ScrollRequest::LineUp, 50), 30);
    EXPECT_EQ(After(ScrollRequest::PageDown, 0), 200);
    EXPECT_EQ(After(ScrollRequest::PageUp, 250), 50);
}

TEST(MarkdownScrollTest, EveryRequestIsClampedToTheContent) {
    EXPECT_EQ(After(ScrollRequest::LineUp, 10), 0);
    EXPECT_EQ(After(ScrollRequest::PageDown, 250), 300);
    EXPECT_EQ(After(ScrollRequest::LineDown, 0, 0, kShort), 0);
    EXPECT_EQ(After(ScrollRequest::ThumbTrack, 0, 999), 300);
    EXPECT_EQ(After(ScrollRequest::ThumbPosition, 0, -5), 0);
}

TEST(MarkdownScrollTest, ThumbTopAndBottomJumpToTheirPositions) {
    EXPECT_EQ(After(ScrollRequest::ThumbTrack, 0, 123), 123);
    EXPECT_EQ(After(ScrollRequest::ThumbPosition, 10, 77), 77);
    EXPECT_EQ(After(ScrollRequest::Top, 200), 0);
    EXPECT_EQ(After(ScrollRequest::Bottom, 0), 300);
}

TEST(MarkdownScrollTest, OtherRequestsKeepThePositionWithinRange) {
    EXPECT_EQ(After(ScrollRequest::EndScroll, 120, 5), 120);
    EXPECT_EQ(ScrollPosAfterRequest(120, 42, 5, kTall), 120);
    EXPECT_EQ(ScrollPosAfterRequest(-1, -1, 5, kTall), 0);
    // A position left beyond the end by a narrower view is pulled back by the next request.
    EXPECT_EQ(After(ScrollRequest::EndScroll, 400), 300);
}

TEST(MarkdownWheelTest, OneNotchScrollsThreeLines) {
    EXPECT_EQ(ScrollPosAfterWheel(0, -120, kTall), 60);
    EXPECT_EQ(ScrollPosAfterWheel(100, 120, kTall), 40);
    EXPECT_EQ(ScrollPosAfterWheel(0, -240, kTall), 120);
}

TEST(MarkdownWheelTest, PartsOfANotchDoNotScroll) {
    EXPECT_EQ(ScrollPosAfterWheel(100, -119, kTall), 100);
    EXPECT_EQ(ScrollPosAfterWheel(100, 60, kTall), 100);
    EXPECT_EQ(ScrollPosAfterWheel(100, -239, kTall), 160);
}

TEST(MarkdownWheelTest, WheelIsClampedAndIgnoredWhenTheContentFits) {
    EXPECT_EQ(ScrollPosAfterWheel(280, -120, kTall), 300);
    EXPECT_EQ(ScrollPosAfterWheel(30, 120, kTall), 0);
    EXPECT_EQ(ScrollPosAfterWheel(0, -120, kShort), std::nullopt);
    EXPECT_EQ(ScrollPosAfterWheel(
                  0, -120, {.contentHeightPx = 200, .clientHeightPx = 200, .lineHeightPx = 20}),
              std::nullopt);
}

}  // namespace
}  // namespace orvello
