// The Key Sequence panel: the steps in a list box with Add, Remove, Move Up, Move Down,
// and the selected step's chord captured from the keyboard.
#include "dialogs/action_panels.h"
#include "output/output_win.h"
#include "resources/command_editor_ids.h"
#include "text/utf_conversion.h"

namespace orvello {

namespace {

std::wstring RowText(std::size_t index, const KeyStep& step) {
    return ToWideString(StepRowText(index, FromWideString(FormatKeyStep(step))));
}

}  // namespace

CPanelKeySequence::CPanelKeySequence() : CKeyCapturePanel(IDD_PANEL_KEY_SEQUENCE) {}

void CPanelKeySequence::LoadFromCommand(const VoiceCommand& command) {
    steps_.Load(command.steps);
    if (!IsWindow()) return;
    RebuildList();
    RefreshChordAndButtons();
}

void CPanelKeySequence::StoreToCommand(VoiceCommand& command) {
    command.steps = steps_.Steps();
}

bool CPanelKeySequence::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_PANEL_STEP_LIST && code == LBN_SELCHANGE) {
        steps_.Select(int(SendDlgItemMessageW(Hwnd(), IDC_PANEL_STEP_LIST, LB_GETCURSEL, 0, 0)));
        RefreshChordAndButtons();
        return true;
    }
    if (code != BN_CLICKED) return CKeyCapturePanel::OnCommand(id, code, control);
    bool changed = false;
    switch (id) {
        case IDC_PANEL_STEP_ADD:
            steps_.Add();
            changed = true;
            break;
        case IDC_PANEL_STEP_REMOVE:
            changed = steps_.Remove();
            break;
        case IDC_PANEL_STEP_MOVE_UP:
            changed = steps_.MoveUp();
            break;
        case IDC_PANEL_STEP_MOVE_DOWN:
            changed = steps_.MoveDown();
            break;
        default:
            return CKeyCapturePanel::OnCommand(id, code, control);
    }
    if (changed) RebuildList();
    RefreshChordAndButtons();
    return true;
}

std::wstring CPanelKeySequence::ChordFieldText() const {
    return steps_.HasSelection() ? FormatKeyStep(steps_.Selected()) : std::wstring();
}

void CPanelKeySequence::OnChordCaptured(const KeyStep& chord) {
    if (!steps_.ReplaceSelected(chord)) return;
    // The row changes in place and stays selected.
    const int row = steps_.Selection();
    HWND list = GetDlgItem(IDC_PANEL_STEP_LIST);
    SendMessageW(list, LB_DELETESTRING, WPARAM(row), 0);
    SendMessageW(list, LB_INSERTSTRING, WPARAM(row), LPARAM(RowText(size_t(row), chord).c_str()));
    SendMessageW(list, LB_SETCURSEL, WPARAM(row), 0);
    RefreshChordAndButtons();
}

void CPanelKeySequence::RebuildList() const {
    HWND list = GetDlgItem(IDC_PANEL_STEP_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (std::size_t index = 0; index < steps_.Steps().size(); ++index)
        SendMessageW(list, LB_ADDSTRING, 0, LPARAM(RowText(index, steps_.Steps()[index]).c_str()));
    SendMessageW(list, LB_SETCURSEL, WPARAM(steps_.Selection()), 0);
}

void CPanelKeySequence::RefreshChordAndButtons() const {
    if (!IsCapturing()) SetItemText(IDC_PANEL_CHORD_TEXT, ChordFieldText());
    ::EnableWindow(GetDlgItem(IDC_PANEL_STEP_REMOVE), steps_.CanRemove());
    ::EnableWindow(GetDlgItem(IDC_PANEL_STEP_MOVE_UP), steps_.CanMoveUp());
    ::EnableWindow(GetDlgItem(IDC_PANEL_STEP_MOVE_DOWN), steps_.CanMoveDown());
    ::EnableWindow(GetDlgItem(IDC_PANEL_CAPTURE), steps_.CanCapture());
}

}  // namespace orvello
