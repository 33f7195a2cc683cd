// What the action panels share: control text access, the key capture of the two key
// panels, and the choice of panel class for a type.
#include "dialogs/action_panels.h"

#include "dialogs/key_capture.h"

#include "resources/command_editor_ids.h"
#include "ui/application.h"

namespace orvello {

namespace {

constexpr wchar_t kCaptureText[] = L"Capture...";
constexpr wchar_t kPressAKeyText[] = L"Press a key...";
constexpr wchar_t kWaitingText[] = L"Waiting...";
constexpr wchar_t kNoKeyboardHookText[] =
    L"Keys cannot be captured: Windows did not allow the keyboard hook the capture needs.";

bool IsHeld(int virtualKey) {
    return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

HeldModifiers HeldModifiersNow() {
    return {IsHeld(VK_CONTROL), IsHeld(VK_MENU), IsHeld(VK_SHIFT),
            IsHeld(VK_LWIN) || IsHeld(VK_RWIN)};
}

}  // namespace

void CPanelBase::SetItemText(int id, const std::wstring& text) const {
    SetDlgItemTextW(Hwnd(), id, text.c_str());
}

std::wstring CPanelBase::ItemText(int id) const {
    HWND item = GetDlgItem(id);
    std::wstring text(size_t(GetWindowTextLengthW(item)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(item, text.data(), int(text.size()))));
    return text;
}

CKeyCapturePanel::CKeyCapturePanel(UINT templateId)
    : CPanelBase(templateId),
      filter_([this](const MSG& message) { return PreTranslateKey(message); }) {}

bool CKeyCapturePanel::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_PANEL_CAPTURE && code == BN_CLICKED) {
        StartCapture();
        return true;
    }
    return CPanelBase::OnCommand(id, code, control);
}

void CKeyCapturePanel::StartCapture() {
    if (!CanCapture()) return;
    // Without the hook no key would reach the panel, and the next Enter or Escape would end
    // the editor instead.
    if (!filter_.IsActive()) {
        ui::AppMessageBox(kNoKeyboardHookText, MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    capturing_ = true;
    SetItemText(IDC_PANEL_CAPTURE, kPressAKeyText);
    SetItemText(IDC_PANEL_CHORD_TEXT, kWaitingText);
    // Key presses reach the filter only when they are addressed to this panel.
    SetFocus(GetDlgItem(IDC_PANEL_CHORD_TEXT));
}

void CKeyCapturePanel::EndCapture() {
    capturing_ = false;
    SetItemText(IDC_PANEL_CAPTURE, kCaptureText);
}

// Every key-down for the panel or one of its controls is consumed while capturing, so
// neither Escape nor Enter nor Tab reaches the dialogs.
bool CKeyCapturePanel::PreTranslateKey(const MSG& message) {
    if (!capturing_ || !IsWindow()) return false;
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    if (message.hwnd != Hwnd() && !IsChild(Hwnd(), message.hwnd)) return false;
    const CaptureDecision decision =
        DecideCapturedKey(std::uint16_t(message.wParam), HeldModifiersNow());
    switch (decision.outcome) {
        case CaptureOutcome::KeepWaiting:
            break;
        case CaptureOutcome::Abandon:
            EndCapture();
            SetItemText(IDC_PANEL_CHORD_TEXT, ChordFieldText());  // "Waiting..." no longer
            break;
        case CaptureOutcome::Complete:
            EndCapture();
            OnChordCaptured(decision.chord);
            break;
    }
    return true;
}

std::unique_ptr<CPanelBase> MakeActionPanel(ActionPanelKind kind) {
    switch (kind) {
        case ActionPanelKind::KeySequence:
            return std::make_unique<CPanelKeySequence>();
        case ActionPanelKind::RunApp:
            return std::make_unique<CPanelRunApp>();
        case ActionPanelKind::InsertText:
            return std::make_unique<CPanelInsertText>();
        case ActionPanelKind::SystemCommand:
            return std::make_unique<CPanelSystemCommand>();
        case ActionPanelKind::KeyChord:
            break;
    }
    return std::make_unique<CPanelKeyChord>();
}

}  // namespace orvello
