// The table list box on the virtual display, hosted as the commands dialog
// declares it: row records as item data, 22-pixel rows, zebra, dimmed and
// selected rows, grid lines, centred and ellipsised cells, and rows older than
// a column.
#include "controls/table_list_box.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/controls/control_pixels.h"
#include "tests/controls/controls_test_resources.h"
#include "ui/dialog.h"

namespace orvello {
namespace {

using test::CaptureClient;
using test::ClientCapture;
using test::PixelOf;

// Counts the row records the control frees.
class CountingTable : public CTableListBox {
public:
    int deletions = 0;
    void DeleteItem(const DELETEITEMSTRUCT& deletion) override {
        ++deletions;
        CTableListBox::DeleteItem(deletion);
    }
};

class TableHost : public ui::CDialogEx {
public:
    TableHost() : CDialogEx(IDD_TABLE_TEST) {}
    CountingTable table;

protected:
    void BindControls() override { ASSERT_TRUE(table.SubclassDlgItem(IDC_TABLE_LIST, Hwnd())); }
};

struct CommandRow {
    std::wstring state, phrase, type;
    bool dimmed;
};

const std::vector<CommandRow> kRows{
    {L"ON", L"copy that", L"KeyChord", false},
    {L"OFF",
     L"open the browser and then search for something very long that cannot fit in this column",
     L"RunApp", true},
    {L"ON", L"paste", L"SysCommand", false},
    {L"OFF", L"undo", L"KeySequence", true},
};

class TableListBoxTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Create());
        test::ShowHost(host_.Hwnd());
        SetFocus(host_.GetDlgItem(IDOK));  // no focus rectangle in the table
    }

    CountingTable& Table() { return host_.table; }
    int ClientWidth() { return int(Table().GetClientRect().right); }

    // The commands dialog's three columns and rows.
    void FillLikeTheCommandsDialog() {
        Table().columns = {
            {45, kTableAlignCentre}, {ClientWidth() - 140, kTableAlignLeft}, {95, kTableAlignLeft}};
        for (const CommandRow& command : kRows) {
            const int row = Table().AddRow();
            ASSERT_GE(row, 0);
            Table().SetCell(row, 0, command.state);
            Table().SetCell(row, 1, command.phrase);
            Table().SetCell(row, 2, command.type);
            Table().Row(row)->dimmed = command.dimmed;
        }
    }

    ClientCapture Painted(const std::string& saveAs) {
        Table().Invalidate();
        test::PumpMessages(80);
        EXPECT_FALSE(test::SaveWindowCapture(host_.Hwnd(), saveAs).empty());
        return CaptureClient(Table().Hwnd());
    }

    PixelRect RowRect(int row) {
        const RECT r = Table().GetItemRect(row);
        return {r.left, r.top, r.right, r.bottom};
    }

    TableHost host_;
};

TEST_F(TableListBoxTest, RowsAreRecordsWithOneCellPerColumnAndTwentyTwoPixelsHigh) {
    FillLikeTheCommandsDialog();
    ASSERT_EQ(Table().GetCount(), 4);
    const TableRow* second = Table().Row(1);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->dimmed);
    EXPECT_EQ(second->cells,
              (std::vector<std::wstring>{kRows[1].state, kRows[1].phrase, kRows[1].type}));
    EXPECT_EQ(Table().GetItemText(1), L"");  // all text lives in the record
    for (int row = 0; row < 4; ++row) EXPECT_EQ(RowRect(row).Height(), kTableRowHeightPx);
}

TEST_F(TableListBoxTest, SetCellOutOfRangeIsIgnored) {
    FillLikeTheCommandsDialog();
    Table().SetCell(4, 0, L"x");
    Table().SetCell(-1, 0, L"x");
    Table().SetCell(0, 3, L"x");
    Table().SetCell(0, -1, L"x");
    EXPECT_EQ(Table().Row(0)->cells, (std::vector<std::wstring>{L"ON", L"copy that", L"KeyChord"}));
    EXPECT_EQ(Table().Row(4), nullptr);
}

TEST_F(TableListBoxTest, ZebraRowsGridLinesAndDimmedText) {
    FillLikeTheCommandsDialog();
    const ClientCapture capture = Painted("table_zebra_dimmed");
    const int width = ClientWidth();
    for (int row = 0; row < 3; ++row) {
        const PixelRect r = RowRect(row);
        const auto colours = TableRowColoursFor(row, false, kRows[size_t(row)].dimmed, {}, {});
        const std::string where = "row " + std::to_string(row);
        EXPECT_EQ(capture.At(r.left + 2, r.top + 2), PixelOf(colours.background)) << where;
        for (int gridX : {44, width - 95 - 1, width - 1})
            EXPECT_EQ(capture.At(gridX, r.top + 2), PixelOf(kTableGridColour))
                << where << " x " << gridX;
        EXPECT_EQ(capture.At(r.left + 10, r.bottom - 1), PixelOf(kTableGridColour)) << where;
        EXPECT_GE(capture.Count(r, PixelOf(colours.text)), 20) << where << ": text missing";
    }
    EXPECT_EQ(capture.Count(RowRect(0), PixelOf(kTableDimmedTextColour)), 0);
    EXPECT_EQ(capture.Count(RowRect(1), PixelOf(kTableTextColour)), 0);  // all of it grey
}

TEST_F(TableListBoxTest, TheStateIsCentredAndALongPhraseEndsInAnEllipsisInsideItsCell) {
    FillLikeTheCommandsDialog();
    const ClientCapture capture = Painted("table_centred_ellipsis");
    const PixelRect row0 = RowRect(0);
    const PixelRect on = capture.InkBounds(
        {row0.left + 4, row0.top, row0.left + 41, row0.bottom - 1}, PixelOf(kTableEvenRowColour));
    ASSERT_LT(on.left, on.right) << "\"ON\" not drawn";
    EXPECT_NEAR((on.left + on.right) / 2.0, 22.5, 2.0);

    const PixelRect row1 = RowRect(1);
    const int phraseRight = ClientWidth() - 95 - 4;  // the middle cell's text ends here
    const PixelRect phrase = capture.InkBounds({49, row1.top, phraseRight + 3, row1.bottom - 1},
                                               PixelOf(kTableOddRowColour));
    EXPECT_LE(phrase.right, phraseRight);
    // Cut at a character boundary, so the ellipsis ends within a character of the cell's end.
    EXPECT_GE(phrase.right, phraseRight - 8) << "the phrase should fill its cell";
}

TEST_F(TableListBoxTest, ASelectedDimmedRowUsesHighlightColoursAndKeepsOnlyItsBottomLine) {
    FillLikeTheCommandsDialog();
    Table().SetCurSel(3);
    const ClientCapture capture = Painted("table_selected_row");
    const PixelRect r = RowRect(3);
    const uint32_t highlight = PixelOf(GetSysColor(COLOR_HIGHLIGHT));
    const uint32_t highlightText = PixelOf(GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(capture.At(r.left + 2, r.top + 2), highlight);
    EXPECT_EQ(capture.At(44, r.top + 2), highlight) << "no vertical grid line when selected";
    EXPECT_EQ(capture.At(r.left + 10, r.bottom - 1), PixelOf(kTableGridColour));
    EXPECT_GE(capture.Count(r, highlightText), 20);
    EXPECT_EQ(capture.Count(r, PixelOf(kTableDimmedTextColour)), 0);
}

TEST_F(TableListBoxTest, RowsAddedBeforeAColumnDrawItAsEmpty) {
    Table().columns = {{45, kTableAlignCentre}, {80, kTableAlignLeft}};
    const int old = Table().AddRow();
    Table().SetCell(old, 0, L"ON");
    Table().columns.push_back({100, kTableAlignLeft});
    Table().SetCell(old, 2, L"ignored");
    EXPECT_EQ(Table().Row(old)->cells.size(), 2u);
    const int fresh = Table().AddRow();
    Table().SetCell(fresh, 2, L"shown");
    EXPECT_EQ(Table().Row(fresh)->cells.size(), 3u);

    const ClientCapture capture = Painted("table_added_column");
    const PixelRect oldRow = RowRect(old), freshRow = RowRect(fresh);
    const uint32_t black = PixelOf(kTableTextColour);
    EXPECT_EQ(capture.Count({129, oldRow.top, 221, oldRow.bottom - 1}, black), 0);
    EXPECT_GE(capture.Count({129, freshRow.top, 221, freshRow.bottom - 1}, black), 10);
    EXPECT_EQ(capture.At(224, oldRow.top + 2), PixelOf(kTableGridColour));  // its grid line
}

TEST_F(TableListBoxTest, ResettingTheListFreesEveryRowRecord) {
    FillLikeTheCommandsDialog();
    Table().ResetContent();
    EXPECT_EQ(Table().deletions, 4);
    EXPECT_EQ(Table().GetCount(), 0);
}

}  // namespace
}  // namespace orvello
