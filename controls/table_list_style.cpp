#include "controls/table_list_style.h"

namespace orvello {

TableRowColours TableRowColoursFor(int rowIndex, bool selected, bool dimmed, RgbColour highlight,
                                   RgbColour highlightText) {
    if (selected) return {highlight, highlightText};
    const RgbColour background = rowIndex % 2 != 0 ? kTableOddRowColour : kTableEvenRowColour;
    return {background, dimmed ? kTableDimmedTextColour : kTableTextColour};
}

std::vector<TableCell> TableCellsOf(std::span<const TableColumn> columns, const PixelRect& row,
                                    bool selected) {
    std::vector<TableCell> cells;
    int x = row.left;
    for (size_t i = 0; i < columns.size() && x < row.right; ++i) {
        const int cellRight = x + columns[i].widthPx;
        TableCell cell;
        cell.column = int(i);
        cell.textRect = {x + kTableCellPaddingPx, row.top, cellRight - kTableCellPaddingPx,
                         row.bottom};
        cell.hasGridLine = !selected;
        cell.gridLineX = cellRight - 1;
        cells.push_back(cell);
        x = cellRight;
    }
    return cells;
}

}  // namespace orvello
