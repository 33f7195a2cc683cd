// The replacements dialog and the editor of one entry.
#include "dialogs/replacements_dialog_win.h"

#include <optional>
#include <utility>

#include "dialogs/replacements_table.h"
#include "resources/replacements_dialog_ids.h"
#include "text/utf_conversion.h"
#include "ui/application.h"

namespace orvello {
namespace {

constexpr wchar_t kDeleteQuestion[] = L"Delete this replacement?";

enum TableColumnIndex { kWrittenColumn = 0, kTypedColumn = 1 };

std::u16string DialogItemText(HWND dialog, int id) {
    HWND item = ::GetDlgItem(dialog, id);
    std::wstring text(std::size_t(::GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(item, text.data(), int(text.size()))));
    return FromWideString(text);
}

// The editor on `replacement`; the entry as accepted, or nothing after Cancel.
std::optional<Replacement> EditReplacement(Replacement replacement, HWND parent) {
    CReplacementEditDialog editor(std::move(replacement), parent);
    if (editor.DoModal() != IDOK) return std::nullopt;
    return editor.Working();
}

}  // namespace

CReplacementsDialog::CReplacementsDialog(std::vector<Replacement> replacements, HWND parent)
    : ui::CDialogEx(IDD_REPLACEMENTS, parent), replacements_(std::move(replacements)) {}

void CReplacementsDialog::BindControls() {
    (void)table_.SubclassDlgItem(IDC_REPLACEMENTS_TABLE, Hwnd());
}

bool CReplacementsDialog::OnInitDialog() {
    table_.columns = ReplacementsTableColumns(int(table_.GetClientRect().right));
    RefreshTable(kNoReplacementSelected);
    UpdateButtonStates();
    return true;
}

bool CReplacementsDialog::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_REPLACEMENTS_TABLE) {
        if (code == LBN_SELCHANGE) UpdateButtonStates();
        if (code == LBN_DBLCLK) OnEdit();
        return true;
    }
    if (code != BN_CLICKED) return ui::CDialogEx::OnCommand(id, code, control);
    switch (id) {
        case IDC_REPLACEMENTS_ADD:
            OnAdd();
            return true;
        case IDC_REPLACEMENTS_EDIT:
            OnEdit();
            return true;
        case IDC_REPLACEMENTS_DELETE:
            OnDelete();
            return true;
        default:
            return ui::CDialogEx::OnCommand(id, code, control);
    }
}

int CReplacementsDialog::Selection() const {
    return ValidReplacementSelection(table_.GetCurSel(), int(replacements_.size()));
}

void CReplacementsDialog::OnAdd() {
    std::optional<Replacement> added = EditReplacement({}, Hwnd());
    if (!added) return;
    replacements_.push_back(std::move(*added));
    RefreshTable(int(replacements_.size()) - 1);
    UpdateButtonStates();
}

void CReplacementsDialog::OnEdit() {
    const int selection = Selection();
    if (selection == kNoReplacementSelected) return;
    std::optional<Replacement> edited = EditReplacement(replacements_[selection], Hwnd());
    if (!edited) return;
    replacements_[selection] = std::move(*edited);
    RefreshTable(selection);
}

void CReplacementsDialog::OnDelete() {
    const int selection = Selection();
    if (selection == kNoReplacementSelected) return;
    if (ui::AppMessageBox(kDeleteQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    RefreshTable(DeleteReplacementAt(replacements_, selection));
    UpdateButtonStates();
}

void CReplacementsDialog::RefreshTable(int selection) {
    table_.ResetContent();
    for (const Replacement& replacement : replacements_) {
        const int index = table_.AddRow();
        if (index < 0) continue;
        table_.SetCell(index, kWrittenColumn, ToWideString(TableCellText(replacement.written)));
        table_.SetCell(index, kTypedColumn, ToWideString(TableCellText(replacement.typed)));
    }
    table_.SetCurSel(ValidReplacementSelection(selection, table_.GetCount()));
}

void CReplacementsDialog::UpdateButtonStates() {
    const bool selected = Selection() != kNoReplacementSelected;
    ::EnableWindow(GetDlgItem(IDC_REPLACEMENTS_EDIT), selected);
    ::EnableWindow(GetDlgItem(IDC_REPLACEMENTS_DELETE), selected);
}

CReplacementEditDialog::CReplacementEditDialog(Replacement replacement, HWND parent)
    : ui::CDialogEx(IDD_REPLACEMENT_EDIT, parent), working_(std::move(replacement)) {}

bool CReplacementEditDialog::OnInitDialog() {
    ::SetDlgItemTextW(Hwnd(), IDC_REPLACEMENT_WRITTEN, ToWideString(working_.written).c_str());
    ::SetDlgItemTextW(Hwnd(), IDC_REPLACEMENT_TYPED, ToWideString(working_.typed).c_str());
    return true;
}

void CReplacementEditDialog::OnOK() {
    const EditedReplacement edited =
        AcceptEditedReplacement(DialogItemText(Hwnd(), IDC_REPLACEMENT_WRITTEN),
                                DialogItemText(Hwnd(), IDC_REPLACEMENT_TYPED));
    if (!edited.problem.empty()) {
        ui::AppMessageBox(ToWideString(edited.problem), MB_OK | MB_ICONEXCLAMATION);
        ::SetFocus(GetDlgItem(IDC_REPLACEMENT_WRITTEN));
        return;
    }
    working_ = edited.replacement;
    EndDialog(IDOK);
}

}  // namespace orvello
