// The main window's keyboard side: raw input to the trigger tracker or the trigger capture, the
// trigger display, and what the tracker and the capture ask of the window.
#include "app/main_window_win.h"
#include "commands/command_file_win.h"
#include "dialogs/commands_dialog_win.h"
#include "resources/resource.h"
#include "text/utf_conversion.h"
#include "trigger/raw_input_source_win.h"
#include "ui/application.h"

namespace orvello {
namespace {

constexpr wchar_t kCommandsNotSavedText[] =
    L"Commands could not be saved.\n\nCheck that the Documents\\Orvello folder is accessible.";
constexpr wchar_t kWindowsReasonIntro[] = L"\n\nWindows reported: ";

}  // namespace

void CTessarinDlg::RegisterRawInput() {
    (void)rawReader_.registerWindow(toWindowHandle(Hwnd()));
}

// While a capture runs it takes every decoded event, otherwise the tracker sees it. Either way
// the system still gets the message: for input in the foreground it frees the input's data.
// The event's time is the message's, when the key moved, however late it is handled.
LRESULT CTessarinDlg::OnRawInput(WPARAM, LPARAM lParam) {
    std::optional<KeyboardEvent> event = rawReader_.decode(rawInputHandleOf(lParam));
    if (!event) return Default();
    event->timeMs = KeyTimeMs(::GetMessageTime());
    capture_.onKeyEvent(*event);
    return Default();
}

void CTessarinDlg::OnInputDeviceChange(WPARAM change, LPARAM device) {
    if (change == GIDC_REMOVAL) tracker_.onKeyboardRemoved(toDeviceHandle(HANDLE(device)));
}

// After sleep the keyboards may have been re-enumerated and key releases missed. Raw input goes
// back to whichever window had it: the commands dialog while it is open.
void CTessarinDlg::OnResume() {
    if (openCommandsDialog_ != nullptr) {
        openCommandsDialog_->RegisterRawInput();
    } else {
        RegisterRawInput();
    }
    tracker_.reset();
}

void CTessarinDlg::OnSelectTrigger() {
    capture_.onSelectTrigger();
}

void CTessarinDlg::OnMultipleKeyboards() {
    tracker_.setKeyboardScope(!IsChecked(IDC_MULTIPLE_KEYBOARDS));
}

// The dialog works on copies; only OK hands its list and command trigger back, which are then
// saved at once.
void CTessarinDlg::EditVoiceCommands() {
    const TriggerDefinition& commandTrigger = tracker_.commandTrigger();
    CCommandsDialog dialog(commands_.Commands(), commandTrigger, tracker_.dictationTrigger(),
                           commandTrigger.anyKeyboard, Hwnd());
    openCommandsDialog_ = &dialog;
    const INT_PTR result = dialog.DoModal();
    openCommandsDialog_ = nullptr;
    // The dialog was the raw input target while it ran, so no trigger release reached us.
    RegisterRawInput();
    tracker_.reset();
    if (result != IDOK) return;
    commands_.ReplaceCommands(dialog.Commands());
    tracker_.setCommandTrigger(dialog.CommandTrigger());
    SaveCommandTrigger(profile_, tracker_.commandTrigger());
    if (const CommandFileSaveResult saved = SaveCommands(commands_); !saved) {
        ui::AppMessageBox(
            kCommandsNotSavedText + (kWindowsReasonIntro + ui::SystemErrorText(saved.errorCode)),
            MB_OK | MB_ICONEXCLAMATION);
    }
}

// ---- TriggerOwner ----

bool CTessarinDlg::startRequest(bool) {
    return recording_.startRequest();
}

void CTessarinDlg::stopRequest() {
    recording_.stopRequest();
}

void CTessarinDlg::cancelTriggerCapture() {
    capture_.cancel();
}

void CTessarinDlg::refreshTriggerDisplay() {
    capture_.refreshDisplay();
}

void CTessarinDlg::saveTriggers() {
    SaveDictationTrigger(profile_, tracker_.dictationTrigger());
    SaveCommandTrigger(profile_, tracker_.commandTrigger());
}

// ---- KeyMapDisplay, MessagePresenter ----

void CTessarinDlg::SetPressedKeys(std::span<const ModifierKey> keys) {
    keyMap_.SetPressedKeys(keys);
}

void CTessarinDlg::showMessage(MessageIcon icon, std::u16string_view text) {
    const UINT iconFlag =
        icon == MessageIcon::Information ? MB_ICONINFORMATION : MB_ICONEXCLAMATION;
    ui::AppMessageBox(ToWideString(text), MB_OK | iconFlag);
}

// ---- MainWindowCaptureHost ----

void CTessarinDlg::showTriggerText(std::u16string_view text) {
    ::SetDlgItemTextW(Hwnd(), IDC_TRIGGER_TEXT, ToWideString(text).c_str());
}

void CTessarinDlg::showTriggerKeys(std::span<const ModifierKey> keys) {
    keyMap_.SetTriggerKeys(keys);
}

bool CTessarinDlg::useMultipleKeyboards() const {
    return IsChecked(IDC_MULTIPLE_KEYBOARDS);
}

void CTessarinDlg::setUseMultipleKeyboards(bool checked) {
    SetChecked(IDC_MULTIPLE_KEYBOARDS, checked);
}

void CTessarinDlg::saveDictationTrigger() {
    SaveDictationTrigger(profile_, tracker_.dictationTrigger());
}

// ---- RecordingHost ----

HWND CTessarinDlg::TestInputButton() const {
    return GetDlgItem(IDC_TEST_INPUT);
}

HWND CTessarinDlg::TestLevelMeter() const {
    return GetDlgItem(IDC_INPUT_LEVEL);
}

}  // namespace orvello
