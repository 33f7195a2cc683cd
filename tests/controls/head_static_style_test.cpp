// The section header's colour choice, style switch and caption font height.
#include "controls/head_static_style.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

constexpr std::uint32_t kVisibleChild = 0x50000000;  // WS_CHILD | WS_VISIBLE
constexpr std::uint32_t kNotify = 0x100;             // SS_NOTIFY

TEST(HeaderStyle, TheTemplatesTextAlignmentPicksTheVariant) {
    EXPECT_EQ(HeaderAlignmentVariant(kVisibleChild | 0x0), 0);  // SS_LEFT
    EXPECT_EQ(HeaderAlignmentVariant(kVisibleChild | 0x1), 1);  // SS_CENTER
    EXPECT_EQ(HeaderAlignmentVariant(kVisibleChild | 0x2), 2);  // SS_RIGHT
    EXPECT_EQ(HeaderAlignmentVariant(kVisibleChild | 0xB), 0);  // SS_SIMPLE
    EXPECT_EQ(HeaderAlignmentVariant(kVisibleChild | 0xC), 0);  // SS_LEFTNOWORDWRAP
    EXPECT_EQ(HeaderAlignmentVariant(kNotify | 0x1), 1);
}

TEST(HeaderStyle, AttachingReplacesOnlyTheTypeBitsWithOwnerDraw) {
    EXPECT_EQ(HeaderOwnerDrawStyle(kVisibleChild | kNotify | 0x1), kVisibleChild | kNotify | 0xD);
    EXPECT_EQ(HeaderOwnerDrawStyle(kVisibleChild | 0x2), kVisibleChild | 0xD);
    EXPECT_EQ(HeaderOwnerDrawStyle(0x0), 0xDu);
}

TEST(HeaderColours, CentredAreReddishRightAlignedBluishGreyOthersTheBarColour) {
    EXPECT_EQ(HeaderBarColour(1, kHeaderDefaultBarColour), (RgbColour{192, 128, 128}));
    EXPECT_EQ(HeaderBarColour(2, kHeaderDefaultBarColour), (RgbColour{128, 128, 192}));
    EXPECT_EQ(HeaderBarColour(0, kHeaderDefaultBarColour), (RgbColour{86, 152, 233}));
    EXPECT_EQ(HeaderBarColour(0, RgbColour{1, 2, 3}), (RgbColour{1, 2, 3}));
    EXPECT_EQ(kHeaderTextColour, (RgbColour{255, 255, 255}));
}

TEST(HeaderFont, TheMenuFontShrinksTo84PercentTruncatedAndIsAlwaysACharacterHeight) {
    EXPECT_EQ(HeaderFontHeight(-12), -10);  // 10.08
    EXPECT_EQ(HeaderFontHeight(15), -12);   // 12.6: a cell height turns into a character height
    EXPECT_EQ(HeaderFontHeight(-16), -13);  // 13.44
    EXPECT_EQ(HeaderFontHeight(-25), -21);  // exactly 21
    EXPECT_EQ(HeaderFontHeight(0), 0);
}

}  // namespace
}  // namespace orvello
