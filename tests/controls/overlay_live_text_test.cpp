// The end of the text so far as the overlay shows it, with lines of at most ten characters.
#include "controls/overlay_live_text.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

struct LiveTextCase {
    const char* what;
    std::u16string text;
    std::size_t maxLines;
    std::vector<std::u16string> lines;
};

const LiveTextCase kCases[] = {
    {"empty", u"", 2, {}},
    {"only spaces", u"   ", 2, {}},
    {"one short line", u"hello", 2, {u"hello"}},
    {"spaces folded", u"  send   it ", 2, {u"send it"}},
    {"exactly ten", u"abcde fghi", 2, {u"abcde fghi"}},
    {"two lines", u"send the report now", 2, {u"send the", u"report now"}},
    {"only the newest lines",
     u"one two three four five six seven",
     2,
     {u"four five", u"six seven"}},
    {"one line asked for", u"one two three four", 1, {u"three four"}},
    {"a word longer than a line keeps its end",
     u"go supercalifragilistic",
     2,
     {u"go", u"ragilistic"}},
    {"non-ASCII letters", u"über straße grün", 2, {u"straße", u"grün"}},
};

TEST(OverlayLiveTextTest, LastLinesFitAndEndWithTheNewestWord) {
    const LineFits atMostTen = [](std::u16string_view line) { return line.size() <= 10; };
    for (const LiveTextCase& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LastLinesOf(c.text, c.maxLines, atMostTen), c.lines);
    }
}

}  // namespace
}  // namespace orvello
