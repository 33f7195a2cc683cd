#include "controls/markdown_fonts.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvello {
namespace {

std::vector<int> HeightsAt(int baseFontSizePx, int dpi) {
    std::vector<int> heights;
    for (MarkdownFont font : kAllMarkdownFonts) {
        heights.push_back(MarkdownFontParametersFor(font, baseFontSizePx, dpi).cellHeightPx);
    }
    return heights;
}

TEST(MarkdownFontsTest, HeightsOfTheEightFontsAtBaseFourteen) {
    EXPECT_EQ(HeightsAt(14, 96), (std::vector<int>{14, 14, 14, 14, 12, 24, 21, 16}));
    EXPECT_EQ(HeightsAt(14, 144), (std::vector<int>{21, 21, 21, 21, 18, 36, 32, 24}));
    EXPECT_EQ(HeightsAt(16, 96), (std::vector<int>{16, 16, 16, 16, 14, 28, 24, 19}));
}

TEST(MarkdownFontsTest, FactorIsAppliedInSinglePrecisionAndTruncatedBeforeScaling) {
    EXPECT_EQ(MarkdownFontHeightPx(10, 0.9f, 96), 9);     // double precision would give 8
    EXPECT_EQ(MarkdownFontHeightPx(14, 1.75f, 120), 30);  // 24 at 120 DPI, not 24.5 scaled
    EXPECT_EQ(MarkdownFontHeightPx(14, 1.0f, 120), 18);   // 17.5 rounds up like MulDiv
}

TEST(MarkdownFontsTest, FacesWeightsAndStyles) {
    const MarkdownFontParameters code = MarkdownFontParametersFor(MarkdownFont::Code, 14, 96);
    EXPECT_EQ(code.face, u"Consolas");
    EXPECT_TRUE(code.fixedPitch);
    EXPECT_EQ(code.weight, 400);
    const MarkdownFontParameters boldItalic =
        MarkdownFontParametersFor(MarkdownFont::BoldItalic, 14, 96);
    EXPECT_EQ(boldItalic.face, u"Segoe UI");
    EXPECT_EQ(boldItalic.weight, 700);
    EXPECT_TRUE(boldItalic.italic);
    EXPECT_FALSE(boldItalic.fixedPitch);
    EXPECT_EQ(MarkdownFontParametersFor(MarkdownFont::Italic, 14, 96).weight, 400);
    EXPECT_EQ(MarkdownFontParametersFor(MarkdownFont::Heading3, 14, 96).weight, 700);
    EXPECT_FALSE(MarkdownFontParametersFor(MarkdownFont::Heading1, 14, 96).italic);
}

TextSegment Styled(bool bold, bool italic, bool code, int headingLevel = 0) {
    return TextSegment{
        .text = u"x", .bold = bold, .italic = italic, .code = code, .headingLevel = headingLevel};
}

TEST(MarkdownFontsTest, HeadingWinsOverCodeWhichWinsOverEmphasis) {
    EXPECT_EQ(FontForSegment(Styled(false, false, true, 2)), MarkdownFont::Heading2);
    EXPECT_EQ(FontForSegment(Styled(true, false, false, 1)), MarkdownFont::Heading1);
    EXPECT_EQ(FontForSegment(Styled(false, false, false, 3)), MarkdownFont::Heading3);
    EXPECT_EQ(FontForSegment(Styled(true, false, true)), MarkdownFont::Code);
    EXPECT_EQ(FontForSegment(Styled(true, true, false)), MarkdownFont::BoldItalic);
    EXPECT_EQ(FontForSegment(Styled(true, false, false)), MarkdownFont::Bold);
    EXPECT_EQ(FontForSegment(Styled(false, true, false)), MarkdownFont::Italic);
    EXPECT_EQ(FontForSegment(Styled(false, false, false)), MarkdownFont::Normal);
}

}  // namespace
}  // namespace orvello
