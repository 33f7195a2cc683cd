#include "controls/markdown_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace orvello {
namespace {

// Every character of a font is equally wide; the widths and heights differ per font, so that
// a wrong font choice changes the numbers.
class FixedWidthMeasurer : public TextMeasurer {
public:
    int MeasureWidthPx(MarkdownFont font, std::u16string_view text) override {
        return CharWidth(font) * static_cast<int>(text.size());
    }
    int LineHeightPx(MarkdownFont font) override { return kHeights.at(font); }

    static int CharWidth(MarkdownFont font) { return kWidths.at(font); }

    static inline const std::map<MarkdownFont, int> kWidths = {
        {MarkdownFont::Normal, 7},     {MarkdownFont::Bold, 8},     {MarkdownFont::Italic, 7},
        {MarkdownFont::BoldItalic, 8}, {MarkdownFont::Code, 6},     {MarkdownFont::Heading1, 14},
        {MarkdownFont::Heading2, 12},  {MarkdownFont::Heading3, 10}};
    static inline const std::map<MarkdownFont, int> kHeights = {
        {MarkdownFont::Normal, 19},     {MarkdownFont::Bold, 19},    {MarkdownFont::Italic, 19},
        {MarkdownFont::BoldItalic, 19}, {MarkdownFont::Code, 15},    {MarkdownFont::Heading1, 32},
        {MarkdownFont::Heading2, 27},   {MarkdownFont::Heading3, 21}};
};

// A 200 px wide control with a 17 px scroll bar leaves 173 px for text.
constexpr MarkdownLayoutArea kArea{
    .clientWidthPx = 200, .scrollBarWidthPx = 17, .lineHeightPx = 19};

MarkdownLayout Layout(std::u16string_view text, MarkdownLayoutArea area = kArea) {
    FixedWidthMeasurer measurer;
    return LayoutMarkdown(text, area, measurer);
}

std::u16string LineText(const FormattedLine& line) {
    std::u16string text;
    for (const TextSegment& segment : line.segments) text += segment.text;
    return text;
}

std::vector<std::u16string> LineTexts(const MarkdownLayout& layout) {
    std::vector<std::u16string> texts;
    for (const FormattedLine& line : layout.lines) texts.push_back(LineText(line));
    return texts;
}

using Texts = std::vector<std::u16string>;

TEST(MarkdownWrappingTest, WordsFillALineUpToTheWrapWidth) {
    // "word " is 35 px: from x = 4, four fit (144 px), a fifth would end at 179 > 173.
    const MarkdownLayout layout = Layout(u"word word word word word word");
    EXPECT_EQ(LineTexts(layout), (Texts{u"word word word word ", u"word word"}));
    EXPECT_EQ(layout.lines[0].segmentWidthsPx, (std::vector<int>{35, 35, 35, 35}));
}

TEST(MarkdownWrappingTest, APieceEndingExactlyAtTheWrapWidthStays) {
    // From x = 4, twelve pieces "a " of 14 px end at 172 and a final "b" at 179.
    std::u16string text;
    for (int i = 0; i < 12; ++i) text += u"a ";
    text += u"b";
    const auto area = [](int wrapWidthPx) {
        return MarkdownLayoutArea{.clientWidthPx = wrapWidthPx + 17 + 10, .scrollBarWidthPx = 17};
    };
    EXPECT_EQ(Layout(text, area(179)).lines.size(), 1u);
    EXPECT_EQ(Layout(text, area(178)).lines.size(), 2u);
}

TEST(MarkdownWrappingTest, EachPieceKeepsTheStyleOfItsRun) {
    const MarkdownLayout layout = Layout(u"go **bold words** `x y`");
    ASSERT_EQ(layout.lines.size(), 1u);
    const FormattedLine& line = layout.lines[0];
    ASSERT_EQ(line.segments.size(), 6u);
    EXPECT_EQ(line.segments[1].text, u"bold ");
    EXPECT_TRUE(line.segments[1].bold);
    EXPECT_TRUE(line.segments[2].bold);
    EXPECT_FALSE(line.segments[3].bold);  // the plain space between the runs
    EXPECT_EQ(line.segments[4].text, u"x ");
    EXPECT_TRUE(line.segments[4].code);
    EXPECT_EQ(line.segmentWidthsPx, (std::vector<int>{21, 40, 40, 7, 12, 6}));
}

TEST(MarkdownWrappingTest, ConsecutiveSpacesArePiecesOfTheirOwn) {
    const MarkdownLayout layout = Layout(u"a   b");
    ASSERT_EQ(layout.lines.size(), 1u);
    std::vector<std::u16string> pieces;
    for (const TextSegment& segment : layout.lines[0].segments) pieces.push_back(segment.text);
    EXPECT_EQ(pieces, (Texts{u"a ", u" ", u" ", u"b"}));
}

TEST(MarkdownWrappingTest, AWordWiderThanTheLineIsPlacedAloneAndNotBroken) {
    const std::u16string longWord(40, u'x');  // 280 px
    const MarkdownLayout layout = Layout(u"ab " + longWord + u" cd");
    EXPECT_EQ(LineTexts(layout), (Texts{u"ab ", longWord + u" ", u"cd"}));
}

TEST(MarkdownWrappingTest, ListItemsAndTheirContinuationsAreIndented) {
    const MarkdownLayout layout = Layout(u"- one two three four five six seven");
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(MarkdownLineStartX(layout.lines[0].indentLevel), 24);
    EXPECT_EQ(MarkdownLineStartX(layout.lines[1].indentLevel), 24);
    // From x = 24: "• " 14 px, then words until 173 px would be passed.
    EXPECT_EQ(LineTexts(layout), (Texts{u"\u2022 one two three four ", u"five six seven"}));
}

TEST(MarkdownLineHeightTest, TextLineIsItsTallestFontPlusFour) {
    EXPECT_EQ(Layout(u"plain").lines[0].height, 19 + 4);
    EXPECT_EQ(Layout(u"`code`").lines[0].height, 15 + 4);
    EXPECT_EQ(Layout(u"## Heading").lines[0].height, 27 + 4);
    EXPECT_EQ(Layout(u"# A").lines[0].height, 32 + 4);
    EXPECT_EQ(Layout(u"#### Deep").lines[0].height, 21 + 4);
    EXPECT_EQ(Layout(u"`code` and text").lines[0].height, 19 + 4);
}

TEST(MarkdownLineHeightTest, ContinuationLinesTakeTheirOwnTallestFont) {
    const MarkdownLayout layout = Layout(u"aaaaaaaaaaaaaaaaaaaaa `ccccccccccccccccccccc`");
    ASSERT_EQ(layout.lines.size(), 2u);
    EXPECT_EQ(layout.lines[0].height, 19 + 4);
    EXPECT_EQ(layout.lines[1].height, 15 + 4);
    EXPECT_EQ(layout.contentHeight, 23 + 19);
}

TEST(MarkdownLineHeightTest, EmptySourceLineIsAGapOfOneNormalLine) {
    const MarkdownLayout layout = Layout(u"one\n\ntwo\n****\n");
    ASSERT_EQ(layout.lines.size(), 4u);
    EXPECT_EQ(layout.lines[1].height, 19);
    EXPECT_TRUE(layout.lines[1].segments.empty());
    EXPECT_EQ(layout.lines[3].height, 19);  // markers around nothing
    EXPECT_EQ(layout.contentHeight, 23 + 19 + 23 + 19);

    const MarkdownLayoutArea unmeasured{.clientWidthPx = 200, .scrollBarWidthPx = 17};
    EXPECT_EQ(Layout(u"\n", unmeasured).lines.at(0).height, 16);
}

TEST(MarkdownCodeBlockLayoutTest, FencesAddNothingAndEmptyCodeLinesAddNoLine) {
    const MarkdownLayout layout = Layout(u"```\n  int x;\n\n```\nafter");
    EXPECT_EQ(LineTexts(layout), (Texts{u"  int x;", u"after"}));
    EXPECT_TRUE(layout.lines[0].segments[0].code);
    EXPECT_EQ(layout.lines[0].height, 15 + 4);
    EXPECT_EQ(layout.contentHeight, 19 + 23);
}

TEST(MarkdownCodeBlockLayoutTest, TaggedFenceIsTextAndDoesNotOpenABlock) {
    EXPECT_EQ(LineTexts(Layout(u"```cpp\n*x*")), (Texts{u"`cpp", u"x"}));
}

TEST(MarkdownLayoutAreaTest, NothingIsLaidOutWithoutTextOrWidth) {
    EXPECT_TRUE(Layout(u"").lines.empty());
    EXPECT_TRUE(Layout(u"text", {.clientWidthPx = 27, .scrollBarWidthPx = 17}).lines.empty());
    EXPECT_TRUE(Layout(u"text", {.clientWidthPx = 0, .scrollBarWidthPx = 0}).lines.empty());
    EXPECT_EQ(Layout(u"text", {.clientWidthPx = 28, .scrollBarWidthPx = 17}).lines.size(), 1u);
}

TEST(MarkdownLayoutAreaTest, NarrowerAreaWrapsIntoMoreLines) {
    const std::u16string text = u"the quick brown fox jumps over the lazy dog";
    const MarkdownLayout wide = Layout(text, {.clientWidthPx = 400, .scrollBarWidthPx = 17});
    const MarkdownLayout narrow = Layout(text, {.clientWidthPx = 120, .scrollBarWidthPx = 17});
    EXPECT_EQ(wide.lines.size(), 1u);
    EXPECT_EQ(LineTexts(narrow),
              (Texts{u"the quick ", u"brown fox ", u"jumps over ", u"the lazy dog"}));
}

}  // namespace
}  // namespace orvello
