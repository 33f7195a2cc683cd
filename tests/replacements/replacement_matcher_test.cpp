// Replacements applied to dictated text: whole words, letter case, longest match, punctuation,
// spaces around line breaks and empty replacements, scripts beyond ASCII, and list sizes.
#include "replacements/replacement_matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/utf_conversion.h"

namespace orvello {
namespace {

struct MatchCase {
    const char* name;
    std::vector<Replacement> replacements;
    std::u16string text;
    std::u16string expected;
};

const Replacement kOrvello{u"orvello", u"Orvello"};
const Replacement kNewParagraph{u"new paragraph", u"\r\n\r\n"};
const Replacement kNewLine{u"new line", u"\r\n"};
const Replacement kUm{u"um", u""};

std::vector<MatchCase> MatchCases() {
    return {
        {"no replacements", {}, u"orvello works", u"orvello works"},
        {"one word, the replacement's case", {kOrvello}, u"orvello works", u"Orvello works"},
        {"any case in the text", {kOrvello}, u"ORVELLO and OrVeLLo", u"Orvello and Orvello"},
        {"any case in the entry", {{u"ORVELLO", u"Orvello"}}, u"orvello", u"Orvello"},
        {"not inside a word",
         {kOrvello},
         u"orvellos xorvello orvello_x",
         u"orvellos xorvello orvello_x"},
        {"a digit continues a word", {{u"v", u"V"}}, u"v2 v", u"v2 V"},
        {"punctuation stays",
         {kOrvello},
         u"(orvello), orvello. \"orvello\"?",
         u"(Orvello), Orvello. \"Orvello\"?"},
        {"apostrophe ends a word", {kOrvello}, u"orvello's", u"Orvello's"},
        {"hyphen ends a word", {{u"mail", u"Mail"}}, u"e-mail", u"e-Mail"},
        {"phrase", {{u"hello world", u"Hi"}}, u"Hello world, hello world!", u"Hi, Hi!"},
        {"phrase across any white space", {{u" hello   world ", u"Hi"}}, u"hello \t world", u"Hi"},
        {"phrase needs its white space",
         {{u"hello world", u"Hi"}},
         u"helloworld hello, world",
         u"helloworld hello, world"},
        {"longest match first",
         {{u"new", u"New"}, {u"new york", u"New York"}, {u"york", u"Y"}},
         u"new york new",
         u"New York New"},
        {"first of two equal entries", {{u"a b", u"first"}, {u"A B", u"second"}}, u"a b", u"first"},
        {"overlap: leftmost wins, replaced text is not read again",
         {{u"big apple", u"NYC"}, {u"apple pie", u"dessert"}, {u"nyc", u"no"}},
         u"big apple pie",
         u"NYC pie"},
        {"entry with a sign inside",
         {{u"c plus plus", u"C++"}, {u"c++", u"cpp"}},
         u"c plus plus and c++.",
         u"C++ and cpp."},
        {"entry that starts with a sign", {{u"#tag", u"Tag"}}, u"a #tag, #tags", u"a Tag, #tags"},
        {"line breaks take the spaces beside them",
         {kNewParagraph, kNewLine},
         u"First. New paragraph second new line third",
         u"First.\r\n\r\nsecond\r\nthird"},
        {"line break before punctuation", {kNewLine}, u"end new line.", u"end\r\n."},
        {"empty replacement takes the space before it",
         {kUm},
         u"so um I um, think um",
         u"so I, think"},
        {"empty replacement at the start takes the space after it",
         {kUm},
         u"Um I think",
         u"I think"},
        {"everything replaced away", {kUm}, u"um", u""},
        {"blank entries are left out", {{u"  ", u"X"}, {u"", u"Y"}}, u"a  b", u"a  b"},
        {"accented Latin",
         {{u"ÖFFNEN", u"öffnen"}, {u"łódź", u"Łódź"}, {u"straße", u"Straße"}},
         u"öffnen LÓDŹ ŁÓDŹ STRAßE",
         u"öffnen LÓDŹ Łódź Straße"},
        {"Romanian and Czech",
         {{u"ștefan", u"Ștefan"}, {u"řeka", u"Řeka"}},
         u"ȘTEFAN ŘEKA",
         u"Ștefan Řeka"},
        {"Greek with accents and final sigma",
         {{u"αθηνας", u"Αθήνας"}, {u"όλα", u"ΟΛΑ"}},
         u"ΑΘΗΝΑΣ αθηνας Όλα",
         u"Αθήνας Αθήνας ΟΛΑ"},
        {"Cyrillic",
         {{u"москва", u"Москва"}, {u"ґанок", u"Ґанок"}, {u"ёлка", u"Ёлка"}},
         u"МОСКВА ҐАНОК ЁЛКА",
         u"Москва Ґанок Ёлка"},
        {"non-Latin letters are word letters", {{u"мир", u"Мир"}}, u"мирный мир", u"мирный Мир"},
        {"guillemets and dashes are punctuation",
         {{u"paris", u"Paris"}},
         u"«paris»—paris…",
         u"«Paris»—Paris…"},
        {"text beyond the basic plane",
         {{u"\U0001F600", u":)"}, {u"ok", u"OK"}},
         u"ok \U0001F600 ok",
         u"OK :) OK"},
    };
}

TEST(ReplacementMatcherTest, ReplacesWholeWordsAndPhrasesAsListed) {
    for (const MatchCase& matchCase : MatchCases()) {
        SCOPED_TRACE(matchCase.name);
        const ReplacementMatcher matcher(matchCase.replacements);
        EXPECT_EQ(Utf16ToUtf8(matcher.Apply(matchCase.text)), Utf16ToUtf8(matchCase.expected));
    }
}

// A list as long as anyone could type, with many entries sharing their first word: every entry
// still applies, and the longest of those sharing a first word wins.
TEST(ReplacementMatcherTest, AHugeListAppliesEveryEntry) {
    std::vector<Replacement> replacements;
    constexpr int kEntries = 50'000;
    for (int index = 0; index < kEntries; ++index) {
        const std::u16string number = Utf8ToUtf16(std::to_string(index));
        replacements.push_back({u"word" + number, u"W" + number});
        replacements.push_back({u"shared " + number, u"S" + number});
    }
    replacements.push_back({u"shared", u"alone"});
    const ReplacementMatcher matcher(replacements);
    EXPECT_EQ(matcher.Apply(u"word0 word49999 shared 7 shared 123456 word50000."),
              u"W0 W49999 S7 alone 123456 word50000.");
}

}  // namespace
}  // namespace orvello
