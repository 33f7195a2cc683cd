// The System Command panel: the catalogue's commands in a drop-down list and the
// argument of those that take one.
#include "dialogs/action_panels.h"
#include "resources/command_editor_ids.h"
#include "text/utf_conversion.h"

namespace orvello {

CPanelSystemCommand::CPanelSystemCommand() : CPanelBase(IDD_PANEL_SYSTEM_COMMAND) {}

void CPanelSystemCommand::LoadFromCommand(const VoiceCommand& command) {
    if (!IsWindow()) return;
    HWND selector = GetDlgItem(IDC_PANEL_SYS_COMMAND);
    SendMessageW(selector, CB_RESETCONTENT, 0, 0);
    for (const SystemCommandEntry& entry : SystemCommandCatalogue)
        SendMessageW(selector, CB_ADDSTRING, 0, LPARAM(ToWideString(entry.displayName).c_str()));
    SendMessageW(selector, CB_SETCURSEL, WPARAM(SystemCommandSelectorIndex(command.sys_cmd_id)), 0);
    SetItemText(IDC_PANEL_SYS_ARG, ToWideString(command.sys_cmd_arg));
    ApplyArgumentRule();
}

void CPanelSystemCommand::StoreToCommand(VoiceCommand& command) {
    if (!IsWindow()) return;
    command.sys_cmd_id = SystemCommandAtSelectorIndex(SelectedIndex());
    command.sys_cmd_arg = FromWideString(ItemText(IDC_PANEL_SYS_ARG));
}

bool CPanelSystemCommand::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_PANEL_SYS_COMMAND && code == CBN_SELCHANGE) {
        ApplyArgumentRule();
        return true;
    }
    return CPanelBase::OnCommand(id, code, control);
}

int CPanelSystemCommand::SelectedIndex() const {
    return int(SendDlgItemMessageW(Hwnd(), IDC_PANEL_SYS_COMMAND, CB_GETCURSEL, 0, 0));
}

// A command without an argument shows no label and a disabled, empty field, so switching
// to one discards what was typed for another.
void CPanelSystemCommand::ApplyArgumentRule() const {
    const SystemCommandEntry* entry =
        FindSystemCommand(SystemCommandAtSelectorIndex(SelectedIndex()));
    const bool takesArgument = entry && entry->TakesArgument();
    SetItemText(IDC_PANEL_SYS_ARG_LABEL, takesArgument ? ToWideString(entry->argumentLabel) : L"");
    ::EnableWindow(GetDlgItem(IDC_PANEL_SYS_ARG), takesArgument);
    if (!takesArgument) SetItemText(IDC_PANEL_SYS_ARG, L"");
}

}  // namespace orvello
