// The Run Application panel: program path and arguments exactly as typed, and a browse
// button for the path.
#include <windows.h>
// commdlg.h needs the types of windows.h first.
#include <commdlg.h>

#include "dialogs/action_panels.h"
#include "resources/command_editor_ids.h"
#include "text/utf_conversion.h"

namespace orvello {

namespace {

constexpr wchar_t kProgramFilter[] = L"Executables (*.exe)\0*.exe\0All Files (*.*)\0*.*\0";
constexpr DWORD kPathBufferChars = 260;

}  // namespace

CPanelRunApp::CPanelRunApp() : CPanelBase(IDD_PANEL_RUN_APP) {}

void CPanelRunApp::LoadFromCommand(const VoiceCommand& command) {
    if (!IsWindow()) return;
    SetItemText(IDC_PANEL_APP_PATH, ToWideString(command.app_path));
    SetItemText(IDC_PANEL_APP_ARGS, ToWideString(command.app_args));
}

// No trimming and no quoting: the launch takes the path and arguments as they are.
void CPanelRunApp::StoreToCommand(VoiceCommand& command) {
    if (!IsWindow()) return;
    command.app_path = FromWideString(ItemText(IDC_PANEL_APP_PATH));
    command.app_args = FromWideString(ItemText(IDC_PANEL_APP_ARGS));
}

bool CPanelRunApp::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_PANEL_APP_BROWSE && code == BN_CLICKED) {
        BrowseForProgram();
        return true;
    }
    return CPanelBase::OnCommand(id, code, control);
}

// Only the path changes; the arguments stay as they are.
void CPanelRunApp::BrowseForProgram() const {
    wchar_t path[kPathBufferChars] = {};
    OPENFILENAMEW open{};
    open.lStructSize = sizeof(open);
    open.hwndOwner = Hwnd();
    open.lpstrFilter = kProgramFilter;
    open.lpstrFile = path;
    open.nMaxFile = kPathBufferChars;
    open.Flags = OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (GetOpenFileNameW(&open)) SetItemText(IDC_PANEL_APP_PATH, path);
}

}  // namespace orvello
