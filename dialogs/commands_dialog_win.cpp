// The commands dialog: the table and its buttons, the command trigger's capture from raw
// keyboard input, and the end of the dialog.
#include "dialogs/commands_dialog_win.h"

#include <array>
#include <memory>
#include <utility>

#include "dialogs/commands_table.h"
#include "resources/resource.h"
#include "text/utf_conversion.h"
#include "trigger/raw_input_source_win.h"
#include "ui/application.h"

namespace orvello {
namespace {

constexpr wchar_t kDeleteQuestion[] = L"Delete this command?";

enum TableColumnIndex { kStateColumn = 0, kPhraseColumn = 1, kTypeColumn = 2 };

}  // namespace

CCommandsDialog::CCommandsDialog(std::vector<VoiceCommand> commands,
                                 TriggerDefinition commandTrigger,
                                 TriggerDefinition dictationTrigger, bool captureAnyKeyboard,
                                 HWND parent, CommandEditorLauncher& editor)
    : ui::CDialogEx(IDD_COMMANDS, parent),
      commands_(std::move(commands)),
      editor_(editor),
      rawReader_(std::make_unique<WinRawInputSource>()),
      capture_(std::move(commandTrigger), std::move(dictationTrigger), captureAnyKeyboard, *this,
               *this) {}

CCommandsDialog::~CCommandsDialog() = default;

void CCommandsDialog::BindControls() {
    (void)table_.SubclassDlgItem(IDC_COMMANDS_TABLE, Hwnd());
    (void)keyMap_.SubclassDlgItem(IDC_KEY_MAP, Hwnd());
    (void)header_.SubclassDlgItem(IDC_HEADER_TRIGGER, Hwnd());
}

bool CCommandsDialog::OnInitDialog() {
    table_.columns = CommandsTableColumns(int(table_.GetClientRect().right));
    RefreshTable(kNoCommandSelected);
    updateButtonStates();
    capture_.refreshDisplay();
    // From here on the caller's window hears no keyboard until it registers again.
    RegisterRawInput();
    return true;
}

void CCommandsDialog::RegisterRawInput() {
    (void)rawReader_.registerWindow(toWindowHandle(Hwnd()));
}

void CCommandsDialog::OnOK() {
    capture_.cancel();  // a half-pressed combination is not a trigger
    ui::CDialogEx::OnOK();
}

void CCommandsDialog::OnDestroy() {
    (void)removeKeyboardRegistration();
    ui::CDialogEx::OnDestroy();
}

LRESULT CCommandsDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INPUT) return OnRawInput(lParam);
    return ui::CDialogEx::WindowProc(message, wParam, lParam);
}

// Only a capture listens; the system always gets the message, which frees the input's data.
LRESULT CCommandsDialog::OnRawInput(LPARAM lParam) {
    if (capture_.isCapturing()) {
        if (const auto event = rawReader_.decode(rawInputHandleOf(lParam))) {
            capture_.onKeyEvent(*event);
        }
    }
    return Default();
}

bool CCommandsDialog::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_COMMANDS_TABLE) {
        if (code == LBN_SELCHANGE) updateButtonStates();
        if (code == LBN_DBLCLK) OnEdit();
        return true;
    }
    if (code != BN_CLICKED) return ui::CDialogEx::OnCommand(id, code, control);
    switch (id) {
        case IDC_COMMANDS_NEW:
            OnNew();
            return true;
        case IDC_COMMANDS_EDIT:
            OnEdit();
            return true;
        case IDC_COMMANDS_DELETE:
            OnDelete();
            return true;
        case IDC_COMMANDS_MOVE_UP:
            OnMoveUp();
            return true;
        case IDC_COMMANDS_MOVE_DOWN:
            OnMoveDown();
            return true;
        case IDC_SELECT_TRIGGER:
            capture_.onSelectTrigger();
            return true;
        default:
            return ui::CDialogEx::OnCommand(id, code, control);
    }
}

// ---- The list ----
// Each handler asks the rule that enables its button, so that a double-click, or a command sent
// while the button is off (during a capture, say), does nothing either.

CommandsButtonStates CCommandsDialog::ButtonStates() const {
    return CommandsButtonStatesFor(capture_.isCapturing(), Selection(), int(commands_.size()));
}

int CCommandsDialog::Selection() const {
    return ValidCommandSelection(table_.GetCurSel(), int(commands_.size()));
}

void CCommandsDialog::OnNew() {
    if (!ButtonStates().newCommand) return;
    std::optional<VoiceCommand> created = editor_.EditCommand(MakeNewVoiceCommand(), Hwnd());
    if (!created) return;
    commands_.push_back(std::move(*created));
    RefreshTable(int(commands_.size()) - 1);
    updateButtonStates();
}

void CCommandsDialog::OnEdit() {
    if (!ButtonStates().edit) return;
    const int selection = Selection();
    std::optional<VoiceCommand> edited = editor_.EditCommand(commands_[selection], Hwnd());
    if (!edited) return;
    commands_[selection] = std::move(*edited);
    RefreshTable(selection);
    updateButtonStates();
}

void CCommandsDialog::OnDelete() {
    if (!ButtonStates().remove) return;
    const int selection = Selection();
    if (ui::AppMessageBox(kDeleteQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    RefreshTable(DeleteCommandAt(commands_, selection));
    updateButtonStates();
}

void CCommandsDialog::OnMoveUp() {
    if (!ButtonStates().moveUp) return;
    RefreshTable(MoveCommandUp(commands_, Selection()));
    updateButtonStates();
}

void CCommandsDialog::OnMoveDown() {
    if (!ButtonStates().moveDown) return;
    RefreshTable(MoveCommandDown(commands_, Selection()));
    updateButtonStates();
}

void CCommandsDialog::RefreshTable(int selection) {
    table_.ResetContent();
    for (const VoiceCommand& command : commands_) {
        const CommandsTableRow row = CommandsTableRowOf(command);
        const int index = table_.AddRow();
        if (index < 0) continue;
        table_.SetCell(index, kStateColumn, ToWideString(row.state));
        table_.SetCell(index, kPhraseColumn, ToWideString(row.phrase));
        table_.SetCell(index, kTypeColumn, ToWideString(row.type));
        if (TableRow* record = table_.Row(index)) record->dimmed = row.dimmed;
    }
    table_.SetCurSel(ValidCommandSelection(selection, table_.GetCount()));
}

// ---- CommandsDialogCaptureHost, MessagePresenter ----

void CCommandsDialog::showTriggerText(std::u16string_view text) {
    ::SetDlgItemTextW(Hwnd(), IDC_TRIGGER_TEXT, ToWideString(text).c_str());
}

void CCommandsDialog::showTriggerKeys(std::span<const ModifierKey> keys) {
    keyMap_.SetTriggerKeys(keys);
}

void CCommandsDialog::setSelectTriggerText(std::u16string_view text) {
    ::SetDlgItemTextW(Hwnd(), IDC_SELECT_TRIGGER, ToWideString(text).c_str());
}

void CCommandsDialog::updateButtonStates() {
    const CommandsButtonStates states = ButtonStates();
    const std::array<std::pair<int, bool>, 5> buttons = {{
        {IDC_COMMANDS_NEW, states.newCommand},
        {IDC_COMMANDS_EDIT, states.edit},
        {IDC_COMMANDS_DELETE, states.remove},
        {IDC_COMMANDS_MOVE_UP, states.moveUp},
        {IDC_COMMANDS_MOVE_DOWN, states.moveDown},
    }};
    for (const auto& [id, enabled] : buttons) ::EnableWindow(GetDlgItem(id), enabled);
}

void CCommandsDialog::showMessage(MessageIcon icon, std::u16string_view text) {
    const UINT iconFlag =
        icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    ui::AppMessageBox(ToWideString(text), MB_OK | iconFlag);
}

}  // namespace orvello
