// The main window's hands-free side: the trigger mode list, the hint while a recording goes on
// hands-free, and the tray menu's "Stop Recording".
#include <cstdint>
#include <string>

#include "app/main_window_win.h"
#include "resources/resource.h"

namespace orvello {
namespace {

constexpr wchar_t kLongQuietStopText[] =
    L"[Hands-free recording stopped after 2 minutes of quiet]\r\n";

// In the order of the TriggerMode numbers.
constexpr const wchar_t* kTriggerModeNames[] = {L"Hold", L"Auto", L"Toggle"};

}  // namespace

void CTessarinDlg::SetUpTriggerModeList() {
    LoadTriggerMode(profile_, settings_);
    HWND list = GetDlgItem(IDC_TRIGGER_MODE);
    for (const wchar_t* name : kTriggerModeNames) {
        ::SendMessageW(list, CB_ADDSTRING, 0, LPARAM(name));
    }
    ::SendMessageW(list, CB_SETCURSEL, WPARAM(settings_.triggerMode), 0);
    tracker_.setTriggerMode(settings_.triggerMode);
}

void CTessarinDlg::OnTriggerModeChanged() {
    const LRESULT selected = ::SendDlgItemMessageW(Hwnd(), IDC_TRIGGER_MODE, CB_GETCURSEL, 0, 0);
    if (selected == CB_ERR) return;
    settings_.triggerMode = triggerModeFromNumber(std::int32_t(selected));
    SaveTriggerMode(profile_, settings_);
    tracker_.setTriggerMode(settings_.triggerMode);
}

// "Hands-free — tap Right Ctrl to stop": the trigger's keys without its keyboard.
std::u16string CTessarinDlg::HandsFreeHint() const {
    const TriggerDefinition keysOnly{tracker_.dictationTrigger().keys, true, {}};
    return u"Hands-free \u2014 tap " + triggerText(keysOnly) + u" to stop";
}

void CTessarinDlg::handsFreeStarted() {
    handsFreeTarget_ = ::GetForegroundWindow();
    const std::u16string hint = HandsFreeHint();
    AppendLog(L"[" + std::wstring(hint.begin(), hint.end()) + L"]\r\n");
    recording_.showHandsFree(hint);
}

// The menu made Orvello's (hidden) window the foreground one; the window the user dictated into
// gets it back before the text comes.
void CTessarinDlg::OnTrayStopRecording() {
    if (!tracker_.isHandsFree()) return;
    if (handsFreeTarget_ != nullptr && ::IsWindow(handsFreeTarget_)) {
        ::SetForegroundWindow(handsFreeTarget_);
    }
    (void)tracker_.stopHandsFree();
}

// A recording held by the trigger is the user's to end, however quiet.
void CTessarinDlg::OnLongQuiet() {
    if (!tracker_.isHandsFree()) return;
    AppendLog(kLongQuietStopText);
    (void)tracker_.stopHandsFree();
}

}  // namespace orvello
