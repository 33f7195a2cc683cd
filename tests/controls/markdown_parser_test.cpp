#include "controls/markdown_parser.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvello {
namespace {

TextSegment Plain(std::u16string text) {
    return TextSegment{.text = std::move(text)};
}
TextSegment Bold(std::u16string text) {
    return TextSegment{.text = std::move(text), .bold = true};
}
TextSegment Italic(std::u16string text) {
    return TextSegment{.text = std::move(text), .italic = true};
}
TextSegment Code(std::u16string text) {
    return TextSegment{.text = std::move(text), .code = true};
}
TextSegment Heading(std::u16string text, int level) {
    return TextSegment{.text = std::move(text), .headingLevel = level};
}

using Segments = std::vector<TextSegment>;

ParsedSourceLine ParseAlone(std::u16string_view line) {
    MarkdownLineParser parser;
    return parser.Parse(line);
}

TEST(MarkdownSourceLinesTest, SplitsAtLineFeedsKeepingCarriageReturns) {
    using Lines = std::vector<std::u16string_view>;
    EXPECT_EQ(SplitSourceLines(u"a\r\nb\n\nc\n"), (Lines{u"a\r", u"b", u"", u"c"}));
    EXPECT_EQ(SplitSourceLines(u"one"), (Lines{u"one"}));
    EXPECT_EQ(SplitSourceLines(u"\n"), (Lines{u""}));
    EXPECT_EQ(SplitSourceLines(u"\n\nx"), (Lines{u"", u"", u"x"}));
    EXPECT_TRUE(SplitSourceLines(u"").empty());
}

TEST(MarkdownSourceLinesTest, TrimsUnicodeWhiteSpaceButNotOtherCharacters) {
    EXPECT_EQ(TrimTrailingWideSpace(u"word \t\r\v\f\u00A0\u2003\u3000"), u"word");
    EXPECT_EQ(TrimTrailingWideSpace(u"  lead"), u"  lead");
    EXPECT_EQ(TrimTrailingWideSpace(u"dot.\u200B"), u"dot.\u200B");  // zero width space is not
    EXPECT_EQ(TrimWideSpace(u" \t```\r"), u"```");
}

TEST(MarkdownHeadingTest, NumberSignsAndOneSpaceMakeAHeadingOfAtMostLevelThree) {
    EXPECT_EQ(ParseAlone(u"# Orvello").segments, (Segments{Heading(u"Orvello", 1)}));
    EXPECT_EQ(ParseAlone(u"## Word").segments, (Segments{Heading(u"Word", 2)}));
    EXPECT_EQ(ParseAlone(u"### Three").segments, (Segments{Heading(u"Three", 3)}));
    EXPECT_EQ(ParseAlone(u"#### Deep").segments, (Segments{Heading(u"Deep", 3)}));
    EXPECT_EQ(ParseAlone(u"##  Spaced  \r").segments, (Segments{Heading(u" Spaced", 2)}));
}

TEST(MarkdownHeadingTest, HeadingTextKeepsItsMarkers) {
    EXPECT_EQ(ParseAlone(u"# **Not bold** `x`").segments,
              (Segments{Heading(u"**Not bold** `x`", 1)}));
}

TEST(MarkdownHeadingTest, NumberSignsWithoutASpaceAreOrdinaryText) {
    EXPECT_EQ(ParseAlone(u"#hashtag").segments, (Segments{Plain(u"#hashtag")}));
    EXPECT_EQ(ParseAlone(u"###").segments, (Segments{Plain(u"###")}));
    EXPECT_EQ(ParseAlone(u"# ").segments, (Segments{Plain(u"#")}));  // the space is trailing
    EXPECT_EQ(ParseAlone(u" # Indented").segments, (Segments{Plain(u" # Indented")}));
}

TEST(MarkdownInlineTest, BoldItalicAndCodeRunsLoseTheirMarkers) {
    EXPECT_EQ(ParseInlineMarkup(u"Hold **Right Ctrl** and *speak*, or `type` it"),
              (Segments{Plain(u"Hold "), Bold(u"Right Ctrl"), Plain(u" and "), Italic(u"speak"),
                        Plain(u", or "), Code(u"type"), Plain(u" it")}));
    EXPECT_EQ(ParseInlineMarkup(u"__strong__ and _soft_"),
              (Segments{Bold(u"strong"), Plain(u" and "), Italic(u"soft")}));
}

TEST(MarkdownInlineTest, StylesDoNotNest) {
    EXPECT_EQ(ParseInlineMarkup(u"**a *b* c**"), (Segments{Bold(u"a *b* c")}));
    EXPECT_EQ(ParseInlineMarkup(u"`**x**`"), (Segments{Code(u"**x**")}));
    EXPECT_EQ(ParseInlineMarkup(u"*a**"), (Segments{Italic(u"a"), Plain(u"*")}));
}

TEST(MarkdownInlineTest, UnmatchedDoubleMarkerIsSwallowed) {
    EXPECT_EQ(ParseInlineMarkup(u"**word"), (Segments{Plain(u"word")}));
    EXPECT_EQ(ParseInlineMarkup(u"say __hi"), (Segments{Plain(u"say "), Plain(u"hi")}));
}

TEST(MarkdownInlineTest, LoneMarkersStayVisible) {
    EXPECT_EQ(ParseInlineMarkup(u"a * b"), (Segments{Plain(u"a "), Plain(u"* b")}));
    EXPECT_EQ(ParseInlineMarkup(u"snake_case"), (Segments{Plain(u"snake"), Plain(u"_case")}));
    EXPECT_EQ(ParseInlineMarkup(u"a ` b"), (Segments{Plain(u"a "), Plain(u"` b")}));
    EXPECT_EQ(ParseInlineMarkup(u"*"), (Segments{Plain(u"*")}));
}

TEST(MarkdownInlineTest, IdentifiersWithUnderscoresLoseThem) {
    EXPECT_EQ(ParseInlineMarkup(u"my_var_name"),
              (Segments{Plain(u"my"), Italic(u"var"), Plain(u"name")}));
    EXPECT_EQ(ParseInlineMarkup(u"call __init__ first"),
              (Segments{Plain(u"call "), Bold(u"init"), Plain(u" first")}));
}

TEST(MarkdownInlineTest, EmptyConstructsShowNothing) {
    EXPECT_TRUE(ParseInlineMarkup(u"****").empty());
    EXPECT_TRUE(ParseInlineMarkup(u"``").empty());
    EXPECT_TRUE(ParseInlineMarkup(u"").empty());
    EXPECT_EQ(ParseInlineMarkup(u"a**b"), (Segments{Plain(u"a"), Plain(u"b")}));
}

TEST(MarkdownInlineTest, OtherMarkdownIsOrdinaryText) {
    EXPECT_EQ(ParseAlone(u"[link](http://x)").segments, (Segments{Plain(u"[link](http://x)")}));
    EXPECT_EQ(ParseAlone(u"1. first").segments, (Segments{Plain(u"1. first")}));
    EXPECT_EQ(ParseAlone(u"> quote \\*").segments, (Segments{Plain(u"> quote \\"), Plain(u"*")}));
}

TEST(MarkdownListItemTest, HyphenOrAsteriskAndASpaceMakeABulletedItem) {
    const ParsedSourceLine item = ParseAlone(u"- Hold **Right Ctrl**");
    EXPECT_EQ(item.indentLevel, 1);
    EXPECT_EQ(item.segments, (Segments{Plain(u"\u2022 "), Plain(u"Hold "), Bold(u"Right Ctrl")}));
    const ParsedSourceLine starred = ParseAlone(u"*   spaced");
    EXPECT_EQ(starred.indentLevel, 1);
    EXPECT_EQ(starred.segments, (Segments{Plain(u"\u2022 "), Plain(u"  spaced")}));
    EXPECT_EQ(ParseAlone(u"- ").indentLevel, 0);  // trimmed to a lone hyphen first
}

TEST(MarkdownListItemTest, OtherLinesStartingWithAMarkerAreNotItems) {
    EXPECT_EQ(ParseAlone(u"-x").segments, (Segments{Plain(u"-x")}));
    EXPECT_EQ(ParseAlone(u"*emphasis* first").segments,
              (Segments{Italic(u"emphasis"), Plain(u" first")}));
    const ParsedSourceLine indented = ParseAlone(u"  - nested");
    EXPECT_EQ(indented.indentLevel, 0);
    EXPECT_EQ(indented.segments, (Segments{Plain(u"  - nested")}));
}

TEST(MarkdownFenceTest, FencedLinesAreCodeWithIndentationAndCarriageReturnKept) {
    MarkdownLineParser parser;
    EXPECT_TRUE(parser.Parse(u"```").isFence);
    EXPECT_TRUE(parser.InCodeBlock());
    EXPECT_EQ(parser.Parse(u"    indented *x* # y\r").segments,
              (Segments{Code(u"    indented *x* # y\r")}));
    EXPECT_EQ(parser.Parse(u"").segments, (Segments{Code(u"")}));
    EXPECT_TRUE(parser.Parse(u"  ```  \r").isFence);
    EXPECT_FALSE(parser.InCodeBlock());
    EXPECT_EQ(parser.Parse(u"**after**").segments, (Segments{Bold(u"after")}));
}

TEST(MarkdownFenceTest, UnclosedFenceMakesTheRestCode) {
    MarkdownLineParser parser;
    (void)parser.Parse(u"```");
    for (std::u16string_view line : {u"# not a heading", u"- not an item", u"**not bold**"}) {
        EXPECT_EQ(parser.Parse(line).segments, (Segments{Code(std::u16string(line))}));
    }
}

TEST(MarkdownFenceTest, FenceWithALanguageTagIsAnOrdinaryLine) {
    MarkdownLineParser parser;
    const ParsedSourceLine tagged = parser.Parse(u"```cpp");
    EXPECT_FALSE(tagged.isFence);
    EXPECT_FALSE(parser.InCodeBlock());
    EXPECT_EQ(tagged.segments, (Segments{Plain(u"`cpp")}));
    EXPECT_EQ(parser.Parse(u"int *p;").segments, (Segments{Plain(u"int "), Plain(u"*p;")}));
}

}  // namespace
}  // namespace orvello
