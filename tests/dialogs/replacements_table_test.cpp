// The replacements dialog without its window: what a cell shows, the selection after a delete,
// and what the editor's OK accepts.
#include "dialogs/replacements_table.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvello {
namespace {

TEST(ReplacementsTableTest, LineBreaksAreShownAsPilcrows) {
    EXPECT_EQ(TableCellText(u"Orvello"), u"Orvello");
    EXPECT_EQ(TableCellText(u"\r\n\r\n"), u"¶¶");
    EXPECT_EQ(TableCellText(u"a\nb\rc"), u"a¶b¶c");
}

TEST(ReplacementsTableTest, DeleteSelectsTheRowThatTookItsPlace) {
    const struct {
        int count;
        int selection;
        int selectedAfter;
        int countAfter;
    } cases[] = {{3, 0, 0, 2},
                 {3, 2, 1, 2},
                 {1, 0, kNoReplacementSelected, 0},
                 {2, kNoReplacementSelected, kNoReplacementSelected, 2},
                 {2, 5, 5, 2}};
    for (const auto& deletion : cases) {
        std::vector<Replacement> list(std::size_t(deletion.count), Replacement{u"a", u"b"});
        EXPECT_EQ(DeleteReplacementAt(list, deletion.selection), deletion.selectedAfter)
            << deletion.count << " rows, row " << deletion.selection;
        EXPECT_EQ(int(list.size()), deletion.countAfter);
    }
}

TEST(ReplacementsTableTest, TheEditorTrimsWhatIsWrittenAndKeepsWhatIsTyped) {
    const EditedReplacement accepted = AcceptEditedReplacement(u"  new line\t", u" \n x ");
    EXPECT_TRUE(accepted.problem.empty());
    EXPECT_EQ(accepted.replacement, (Replacement{u"new line", u" \r\n x "}));
    EXPECT_EQ(AcceptEditedReplacement(u" \t ", u"x").problem, kEmptyWrittenMessage);
}

}  // namespace
}  // namespace orvello
