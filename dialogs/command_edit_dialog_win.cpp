// The command editor: phrase, "Enabled", the action type and the panel of that type, on a
// copy of the command that is normalised, checked and tidied when the user presses OK.
#include "dialogs/command_edit_dialog.h"

#include "dialogs/action_panels.h"
#include "dialogs/command_edit_rules.h"
#include "resources/command_editor_ids.h"
#include "text/utf_conversion.h"
#include "ui/application.h"

namespace orvello {

namespace {

std::wstring WindowText(HWND window) {
    std::wstring text(size_t(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), int(text.size()))));
    return text;
}

void ShowProblem(std::u16string_view message) {
    ui::AppMessageBox(ToWideString(message), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

CCommandEditDialog::CCommandEditDialog(const VoiceCommand& command, HWND parent)
    : ui::CDialogEx(IDD_COMMAND_EDIT, parent), working_(command) {}

// The panel object goes with the editor; its window has already gone with ours.
CCommandEditDialog::~CCommandEditDialog() = default;

bool CCommandEditDialog::OnInitDialog() {
    HWND selector = GetDlgItem(IDC_EDITOR_ACTION_TYPE);
    for (std::u16string_view text : kActionTypeEditorTexts)
        SendMessageW(selector, CB_ADDSTRING, 0, LPARAM(ToWideString(text).c_str()));
    SendMessageW(selector, CB_SETCURSEL, WPARAM(SelectorIndexOfType(working_.type)), 0);
    SetDlgItemTextW(Hwnd(), IDC_EDITOR_PHRASE, ToWideString(working_.phrase).c_str());
    CheckDlgButton(Hwnd(), IDC_EDITOR_ENABLED, working_.enabled ? BST_CHECKED : BST_UNCHECKED);
    ShowPanel(SelectorIndexOfType(working_.type));
    return true;
}

bool CCommandEditDialog::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_EDITOR_ACTION_TYPE && code == CBN_SELCHANGE) {
        ShowPanel(SelectedTypeIndex());
        return true;
    }
    return ui::CDialogEx::OnCommand(id, code, control);
}

int CCommandEditDialog::SelectedTypeIndex() const {
    return int(SendDlgItemMessageW(Hwnd(), IDC_EDITOR_ACTION_TYPE, CB_GETCURSEL, 0, 0));
}

// What the old panel holds goes into the working command first, so a value typed under
// one type is still there when the user switches back.
void CCommandEditDialog::ShowPanel(int selectorIndex) {
    if (panel_ && panel_->IsWindow()) {
        panel_->StoreToCommand(working_);
        panel_->DestroyWindow();
    }
    panel_.reset();

    auto panel = MakeActionPanel(PanelKindForSelection(selectorIndex));
    if (!panel->Create(Hwnd())) return;
    HWND placeholder = GetDlgItem(IDC_EDITOR_PANEL_PLACEHOLDER);
    RECT area{};
    GetWindowRect(placeholder, &area);
    MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&area), 2);
    MoveWindow(panel->Hwnd(), area.left, area.top, area.right - area.left, area.bottom - area.top,
               TRUE);
    // Right after the placeholder in the tab order: phrase, type, panel, OK, Cancel.
    SetWindowPos(panel->Hwnd(), placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    panel->LoadFromCommand(working_);
    panel->ShowWindow(SW_SHOW);
    panel_ = std::move(panel);
}

void CCommandEditDialog::OnOK() {
    if (AcceptFields()) EndDialog(IDOK);
}

bool CCommandEditDialog::AcceptFields() {
    const std::u16string phrase =
        NormalizePhrase(FromWideString(WindowText(GetDlgItem(IDC_EDITOR_PHRASE))));
    if (phrase.empty()) {
        ShowProblem(kEmptyPhraseMessage);
        return false;
    }
    working_.phrase = phrase;
    working_.enabled = IsDlgButtonChecked(Hwnd(), IDC_EDITOR_ENABLED) == BST_CHECKED;
    // A type this version does not know selects nothing; until the user chooses one, the
    // command keeps its type and action data, so fixing its phrase changes nothing else.
    const int typeIndex = SelectedTypeIndex();
    if (typeIndex == CB_ERR) return true;
    working_.type = static_cast<ActionType>(typeIndex);
    if (panel_ && panel_->IsWindow()) panel_->StoreToCommand(working_);

    if (const std::u16string_view problem = ActionFieldsProblem(working_); !problem.empty()) {
        ShowProblem(problem);
        return false;
    }
    ClearUnusedFields(working_);
    return true;
}

}  // namespace orvello
