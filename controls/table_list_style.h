#pragma once
// How one row of the table list box looks, without drawing it: its colours
// (zebra rows, dimmed and selected rows), where each cell's text goes and where
// the grid lines run.
#include <cstdint>
#include <span>
#include <vector>

#include "controls/pixel_geometry.h"

namespace orvello {

// Text alignment of a column, as the DrawTextW flags it stands for.
inline constexpr std::int32_t kTableAlignLeft = 0;    // DT_LEFT
inline constexpr std::int32_t kTableAlignCentre = 1;  // DT_CENTER
inline constexpr std::int32_t kTableAlignRight = 2;   // DT_RIGHT

struct TableColumn {
    std::int32_t widthPx = 0;
    std::int32_t alignment = kTableAlignLeft;
    friend bool operator==(const TableColumn&, const TableColumn&) = default;
};

// Every row is this high, whatever its text and the DPI.
inline constexpr int kTableRowHeightPx = 22;
// Cell text keeps this distance from both sides of its cell.
inline constexpr int kTableCellPaddingPx = 4;

inline constexpr RgbColour kTableEvenRowColour{255, 255, 255};
inline constexpr RgbColour kTableOddRowColour{248, 248, 252};
inline constexpr RgbColour kTableTextColour{0, 0, 0};
inline constexpr RgbColour kTableDimmedTextColour{180, 180, 180};
inline constexpr RgbColour kTableGridColour{220, 220, 220};

struct TableRowColours {
    RgbColour background;
    RgbColour text;
};

// A selected row takes the system's highlight colours, dimmed or not; the others are
// white (even index) or tinted (odd), with grey text when dimmed.
[[nodiscard]] TableRowColours TableRowColoursFor(int rowIndex, bool selected, bool dimmed,
                                                 RgbColour highlight, RgbColour highlightText);

struct TableCell {
    int column = 0;
    PixelRect textRect;  // the cell shrunk by the padding on both sides
    bool hasGridLine = false;
    int gridLineX = 0;  // vertical line from the row's top to its bottom (exclusive)
};

// The cells of a row in `row`, left to right from row.left; columns that start at or
// beyond row.right are left out. Selected rows have no vertical grid lines.
[[nodiscard]] std::vector<TableCell> TableCellsOf(std::span<const TableColumn> columns,
                                                  const PixelRect& row, bool selected);

// The horizontal grid line of every row, selected or not: y = bottom - 1.
[[nodiscard]] inline int TableBottomLineY(const PixelRect& row) {
    return row.bottom - 1;
}

}  // namespace orvello
