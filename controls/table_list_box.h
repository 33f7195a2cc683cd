#pragma once
// CTableListBox: an owner-draw list box shown as a table with zebra rows, grid
// lines and dimmed rows. Each item's data is a row record (TableRow) that the
// control creates in AddRow and frees when the item is deleted. The list box
// must have LBS_OWNERDRAWVARIABLE | LBS_HASSTRINGS; every item is 22 pixels high.
#include <string>
#include <vector>

#include "controls/table_list_style.h"
#include "ui/controls.h"

namespace orvello {

// One row of the table; the item's own string stays empty.
struct TableRow {
    bool dimmed = false;              // grey text unless selected
    std::vector<std::wstring> cells;  // one per column that existed when the row was added
};

class CTableListBox : public ui::CListBox {
public:
    CTableListBox() = default;
    ~CTableListBox() override;

    // Set the columns before adding rows; a column added later is empty in older rows.
    std::vector<TableColumn> columns;

    // Appends a row with one empty cell per column; returns its index (LB_ERR on failure).
    int AddRow();
    // Replaces one cell's text; ignored when the row or column is out of range.
    void SetCell(int row, int column, const std::wstring& text);
    // The row record of item `row`, or null; the owner marks rows dimmed through it.
    [[nodiscard]] TableRow* Row(int row) const;

    void DrawItem(const DRAWITEMSTRUCT& draw) override;
    void MeasureItem(MEASUREITEMSTRUCT& measure) override;
    void DeleteItem(const DELETEITEMSTRUCT& deletion) override;
};

}  // namespace orvello
