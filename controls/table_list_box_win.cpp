// The table list box: row records as item data, and the painting of one row.
#include "controls/table_list_box.h"

#include <memory>

#include "controls/gdi_colour.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

PixelRect ToPixelRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

TableRow* RowOfData(LPARAM data) {
    return data == LB_ERR ? nullptr : reinterpret_cast<TableRow*>(data);
}

void DrawCells(HDC dc, const TableRow& row, std::span<const TableColumn> columns,
               const RECT& rowRect, bool selected) {
    for (const TableCell& cell : TableCellsOf(columns, ToPixelRect(rowRect), selected)) {
        const size_t column = size_t(cell.column);
        const std::wstring& text = column < row.cells.size() ? row.cells[column] : std::wstring();
        RECT textRect{cell.textRect.left, cell.textRect.top, cell.textRect.right,
                      cell.textRect.bottom};
        DrawTextW(dc, text.c_str(), int(text.size()), &textRect,
                  UINT(columns[column].alignment) | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        if (cell.hasGridLine) {
            MoveToEx(dc, cell.gridLineX, rowRect.top, nullptr);
            LineTo(dc, cell.gridLineX, rowRect.bottom);
        }
    }
}

}  // namespace

CTableListBox::~CTableListBox() {
    // The window may outlive this object (it goes with its dialog): free the records now,
    // while the item data can still be read, so later deletions find nothing to free.
    if (!IsWindow()) return;
    for (int i = 0; i < GetCount(); ++i) {
        delete Row(i);
        SetItemData(i, 0);
    }
}

int CTableListBox::AddRow() {
    auto row = std::make_unique<TableRow>();
    row->cells.resize(columns.size());
    const int index = AddString(L"");
    if (index < 0) return LB_ERR;
    if (SetItemData(index, LPARAM(row.get())) == LB_ERR) {
        DeleteString(index);
        return LB_ERR;
    }
    (void)row.release();  // the item owns it now; DeleteItem frees it
    return index;
}

TableRow* CTableListBox::Row(int row) const {
    if (!IsWindow() || row < 0 || row >= GetCount()) return nullptr;
    return RowOfData(GetItemData(row));
}

void CTableListBox::SetCell(int row, int column, const std::wstring& text) {
    TableRow* record = Row(row);
    if (!record || column < 0 || size_t(column) >= columns.size() ||
        size_t(column) >= record->cells.size())
        return;
    record->cells[size_t(column)] = text;
    if (IsWindow()) {
        RECT item = GetItemRect(row);
        InvalidateRect(Hwnd(), &item, FALSE);
    }
}

void CTableListBox::MeasureItem(MEASUREITEMSTRUCT& measure) {
    measure.itemHeight = kTableRowHeightPx;
}

void CTableListBox::DeleteItem(const DELETEITEMSTRUCT& deletion) {
    delete RowOfData(LPARAM(deletion.itemData));
}

void CTableListBox::DrawItem(const DRAWITEMSTRUCT& draw) {
    if (draw.itemID == UINT(-1)) return;
    const TableRow* row = RowOfData(LPARAM(draw.itemData));
    if (!row) return;
    HDC dc = draw.hDC;
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    const TableRowColours colours = TableRowColoursFor(
        int(draw.itemID), selected, row->dimmed, ToRgbColour(GetSysColor(COLOR_HIGHLIGHT)),
        ToRgbColour(GetSysColor(COLOR_HIGHLIGHTTEXT)));

    ui::UniqueBrush background(CreateSolidBrush(ToColorRef(colours.background)));
    FillRect(dc, &draw.rcItem, background.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(colours.text));

    ui::UniquePen grid(CreatePen(PS_SOLID, 1, ToColorRef(kTableGridColour)));
    {
        ui::SelectionScope pen(dc, grid.Get());
        DrawCells(dc, *row, columns, draw.rcItem, selected);
        const int y = TableBottomLineY(ToPixelRect(draw.rcItem));
        MoveToEx(dc, draw.rcItem.left, y, nullptr);
        LineTo(dc, draw.rcItem.right, y);
    }
    if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &draw.rcItem);
}

}  // namespace orvello
