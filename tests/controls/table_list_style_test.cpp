// How a table row looks: zebra, dimmed and selected colours, where the cell
// texts and grid lines go, and what happens with columns beyond the row.
#include "controls/table_list_style.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvello {
namespace {

constexpr RgbColour kHighlight{0, 120, 215};
constexpr RgbColour kHighlightText{255, 255, 255};

// The commands dialog's three columns for a list 300 pixels wide.
const std::vector<TableColumn> kCommandColumns{
    {45, kTableAlignCentre}, {300 - 140, kTableAlignLeft}, {95, kTableAlignLeft}};

TEST(TableRowColours, OddRowsAreTintedAndEvenRowsWhiteWithBlackText) {
    for (int row : {0, 2, 4}) {
        const TableRowColours c = TableRowColoursFor(row, false, false, kHighlight, kHighlightText);
        EXPECT_EQ(c.background, (RgbColour{255, 255, 255})) << row;
        EXPECT_EQ(c.text, (RgbColour{0, 0, 0})) << row;
    }
    for (int row : {1, 3, 5})
        EXPECT_EQ(TableRowColoursFor(row, false, false, kHighlight, kHighlightText).background,
                  (RgbColour{248, 248, 252}))
            << row;
}

TEST(TableRowColours, DimmedRowsHaveGreyTextOnTheirZebraBackground) {
    const TableRowColours odd = TableRowColoursFor(3, false, true, kHighlight, kHighlightText);
    EXPECT_EQ(odd.background, (RgbColour{248, 248, 252}));
    EXPECT_EQ(odd.text, (RgbColour{180, 180, 180}));
}

TEST(TableRowColours, ASelectedRowUsesTheHighlightColoursEvenWhenDimmed) {
    for (bool dimmed : {false, true}) {
        const TableRowColours c = TableRowColoursFor(1, true, dimmed, kHighlight, kHighlightText);
        EXPECT_EQ(c.background, kHighlight);
        EXPECT_EQ(c.text, kHighlightText);
    }
}

TEST(TableCells, CellsShrinkByFourPixelsAndGridLinesRunAtEachCellsLastPixel) {
    const std::vector<TableCell> cells = TableCellsOf(kCommandColumns, {0, 22, 300, 44}, false);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0].textRect, (PixelRect{4, 22, 41, 44}));
    EXPECT_EQ(cells[1].textRect, (PixelRect{49, 22, 201, 44}));
    EXPECT_EQ(cells[2].textRect, (PixelRect{209, 22, 296, 44}));
    EXPECT_EQ(cells[0].gridLineX, 44);
    EXPECT_EQ(cells[1].gridLineX, 204);
    EXPECT_EQ(cells[2].gridLineX, 299);
    for (const TableCell& cell : cells) EXPECT_TRUE(cell.hasGridLine);
    EXPECT_EQ(TableBottomLineY({0, 22, 300, 44}), 43);
}

TEST(TableCells, ASelectedRowHasNoVerticalGridLines) {
    for (const TableCell& cell : TableCellsOf(kCommandColumns, {0, 0, 300, 22}, true))
        EXPECT_FALSE(cell.hasGridLine);
}

TEST(TableCells, ColumnsStartingAtOrBeyondTheRowsRightEdgeAreLeftOut) {
    const std::vector<TableCell> narrow = TableCellsOf(kCommandColumns, {0, 0, 100, 22}, false);
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_EQ(narrow[1].textRect.right, 201);  // the last cell is not cut at the row's edge
    EXPECT_EQ(TableCellsOf(kCommandColumns, {0, 0, 45, 22}, false).size(), 1u);
}

TEST(TableCells, CellsFollowTheRowsLeftEdge) {
    const std::vector<TableCell> cells = TableCellsOf(kCommandColumns, {10, 0, 310, 22}, false);
    EXPECT_EQ(cells[0].textRect.left, 14);
    EXPECT_EQ(cells[2].gridLineX, 309);
}

TEST(TableCells, NoColumnsMeansNoCells) {
    EXPECT_TRUE(TableCellsOf({}, {0, 0, 300, 22}, false).empty());
}

}  // namespace
}  // namespace orvello
