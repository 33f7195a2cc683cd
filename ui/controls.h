#pragma once
// Thin wrappers over the standard controls the program's custom controls build
// on. Each is a CWnd, usually adopted from a dialog template with
// SubclassDlgItem; the methods are the control messages, typed.
#include <string>

#include "ui/window.h"

namespace orvello::ui {

// A static control ("STATIC").
class CStatic : public CWnd {};

// A list box ("LISTBOX"). Indexes are item positions; LB_ERR (-1) reports failure.
class CListBox : public CWnd {
public:
    [[nodiscard]] int GetCount() const { return int(Send(LB_GETCOUNT)); }
    // Appends (or inserts, for sorted lists) an item; returns its index.
    int AddString(const std::wstring& text) const {
        return int(Send(LB_ADDSTRING, 0, LPARAM(text.c_str())));
    }
    int DeleteString(int index) const { return int(Send(LB_DELETESTRING, WPARAM(index))); }
    void ResetContent() const { Send(LB_RESETCONTENT); }
    [[nodiscard]] std::wstring GetItemText(int index) const;

    [[nodiscard]] LPARAM GetItemData(int index) const {
        return LPARAM(Send(LB_GETITEMDATA, WPARAM(index)));
    }
    int SetItemData(int index, LPARAM data) const {
        return int(Send(LB_SETITEMDATA, WPARAM(index), data));
    }
    [[nodiscard]] RECT GetItemRect(int index) const;

    // Single-selection list boxes only.
    [[nodiscard]] int GetCurSel() const { return int(Send(LB_GETCURSEL)); }
    // -1 clears the selection.
    int SetCurSel(int index) const { return int(Send(LB_SETCURSEL, WPARAM(index))); }
};

}  // namespace orvello::ui
