// A result's text as the History dialog's row and read-only box show it.
#include "dialogs/history_table.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

TEST(HistoryTable, LineBreaksBecomeOneSpaceInARowAndCrLfInTheBox) {
    const struct {
        std::u16string_view text, row, box;
    } cases[] = {
        {u"hello world", u"hello world", u"hello world"},
        {u"one\r\n\r\ntwo", u"one two", u"one\r\n\r\ntwo"},
        {u"one\ntwo\rthree", u"one two three", u"one\r\ntwo\r\nthree"},
        {u"\tindented\n", u" indented ", u"\tindented\r\n"},
        {u"Grüße \U0001F600", u"Grüße \U0001F600", u"Grüße \U0001F600"},
        {u"", u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HistoryRowText(c.text), c.row);
        EXPECT_EQ(HistoryBoxText(c.text), c.box);
    }
}

}  // namespace
}  // namespace orvello
