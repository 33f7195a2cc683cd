// The main window's construction, initialisation, message dispatch and log area.
#include "app/main_window_win.h"

#include <commctrl.h>
#include <dbt.h>

#include <algorithm>
#include <string>

#include "app/app_messages.h"
#include "app/help_text.h"
#include "app/recording_callbacks_win.h"
#include "app/single_instance_win.h"
#include "commands/command_file_win.h"
#include "resources/resource.h"
#include "text/utf_conversion.h"
#include "trigger/raw_input_source_win.h"
#include "ui/application.h"

namespace orvello {
namespace {

constexpr std::array<int, 5> kHeaderIds = {IDC_HEADER_TRIGGER, IDC_HEADER_OPTIONS, IDC_HEADER_LOG,
                                           IDC_HEADER_INPUT, IDC_HEADER_COMMANDS};
constexpr wchar_t kEngineReadyLine[] = L"Engine ready.\r\n";
constexpr wchar_t kHowToTestLine[] = L"To test: hold the trigger key, speak, then release.\r\n";
constexpr wchar_t kEngineFailedIntro[] = L"Engine failed to load.\r\n";
constexpr int kHelpBaseFontSize = 14;
// The log keeps the newest lines: the edit control would otherwise stop taking text at its
// limit (30,000 characters unless raised; some systems cap what it can be raised to). Weeks of
// dictation fit, and the control stays quick to rewrap.
constexpr LPARAM kLogLimitChars = 300'000;

// How many characters to cut from the front of the log so that `incomingChars` more fit within
// `limitChars` with a quarter of the limit to spare: whole lines, through the line break.
std::size_t LogCharsToDrop(std::wstring_view log, std::size_t incomingChars,
                           std::size_t limitChars) {
    const std::size_t keepChars = limitChars - limitChars / 4;
    if (incomingChars >= keepChars) return log.size();
    const std::size_t keptFrom = log.size() - std::min(log.size(), keepChars - incomingChars);
    const std::size_t lineEnd = log.find(L'\n', keptFrom);
    return lineEnd == std::wstring_view::npos ? log.size() : lineEnd + 1;
}

void MakeRoomInLog(HWND log, std::size_t incomingChars) {
    const auto limitChars = std::size_t(::SendMessageW(log, EM_GETLIMITTEXT, 0, 0));
    const auto length = std::size_t(::GetWindowTextLengthW(log));
    if (length + incomingChars <= limitChars) return;
    std::wstring text(length + 1, L'\0');
    text.resize(std::size_t(::GetWindowTextW(log, text.data(), int(text.size()))));
    const std::size_t dropChars = LogCharsToDrop(text, incomingChars, limitChars);
    ::SendMessageW(log, EM_SETSEL, 0, LPARAM(dropChars));
    ::SendMessageW(log, EM_REPLACESEL, FALSE, LPARAM(L""));
}

}  // namespace

CTessarinDlg::CTessarinDlg()
    : ui::CDialogEx(IDD_MAIN),
      icon_(::LoadIconW(ui::ResourceInstance(), MAKEINTRESOURCEW(IDI_APP_ICON))),
      history_(profile_, settings_, [this](std::wstring_view line) { AppendLog(line); }),
      rawReader_(std::make_unique<WinRawInputSource>()),
      tracker_(rawReader_, *this, *this),
      capture_(tracker_, *this, *this),
      recording_(*this, overlay_) {}

CTessarinDlg::~CTessarinDlg() = default;

void CTessarinDlg::BindControls() {
    for (std::size_t index = 0; index < kHeaderIds.size(); ++index) {
        (void)headers_[index].SubclassDlgItem(kHeaderIds[index], Hwnd());
    }
    (void)keyMap_.SubclassDlgItem(IDC_KEY_MAP, Hwnd());
    (void)helpText_.SubclassDlgItem(IDC_HELP_TEXT, Hwnd());
    (void)inputList_.SubclassDlgItem(IDC_INPUT_LIST, Hwnd());
}

bool CTessarinDlg::OnInitDialog() {
    ui::SetMainWindow(Hwnd());
    AddSystemMenuAbout();
    SetWindowIcons();
    (void)trayIcon_.Add(Hwnd(), WM_APP_TRAY_NOTIFY, ui::ResourceInstance());
    routing_ = std::make_unique<WinRoutingPlatform>(
        Hwnd(), [this](std::wstring_view line) { AppendLog(line); }, kClipboardRestoreTimerId);

    RegisterRawInput();
    (void)overlay_.Create();
    FillInputDeviceList();

    LoadTriggerAndDspSettings(profile_, settings_);
    tracker_.setDictationTrigger(settings_.dictationTrigger);
    tracker_.setCommandTrigger(settings_.commandTrigger);
    tracker_.setKeyMapDisplay(this);
    SetChecked(IDC_MULTIPLE_KEYBOARDS, !settings_.dictationTrigger.anyKeyboard);
    SetChecked(IDC_ENABLE_DSP, settings_.dspEnabled);
    SetUpDspControls();
    ::SendDlgItemMessageW(Hwnd(), IDC_INPUT_LEVEL, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    ::SendDlgItemMessageW(Hwnd(), IDC_INPUT_LEVEL, PBM_SETPOS, 0, 0);
    refreshTriggerDisplay();
    SetUpTriggerModeList();
    tracker_.checkTriggerKeyboards();

    CreateLogFont();
    ::SendDlgItemMessageW(Hwnd(), IDC_LOG, EM_SETLIMITTEXT, kLogLimitChars, 0);
    LoadOptionCheckBoxes();

    LoadCommands(commands_);
    if (!commands_.LoadError().empty()) {
        ui::AppMessageBox(ToWideString(commands_.LoadError()), MB_OK | MB_ICONEXCLAMATION);
    }
    LoadReplacementsAtStart();

    overlay_.ShowStarting();
    (void)recording_.reload(false);
    overlay_.Hide();
    WriteFirstLogText();
    StartHistory();
    // A missing runtime is the installation's fault, not the model's: say which file and what
    // to install right away, since the log only says that the engine failed.
    if (!recording_.runtimeProblem().empty()) {
        ui::AppMessageBox(AnsiToWide(recording_.runtimeProblem()), MB_OK | MB_ICONEXCLAMATION);
    }
    SetUpHelpText();

    keptInTray_ = settings_.startMinimized;
    return true;
}

// Unlike AppendLog, the first text does not depend on the window being visible: a hidden start
// still shows it when the window is first restored. The model's load note follows the intro, as
// after a reload.
void CTessarinDlg::WriteFirstLogText() {
    const std::wstring text = recording_.service()
                                  ? kEngineReadyLine + recording_.modelLine() + kHowToTestLine +
                                        recording_.ModelLoadNoteLines()
                                  : std::wstring(kEngineFailedIntro);
    HWND log = GetDlgItem(IDC_LOG);
    ::SendMessageW(log, EM_SETSEL, 0, 0);
    ::SendMessageW(log, EM_SCROLLCARET, 0, 0);
    ::SendMessageW(log, EM_REPLACESEL, FALSE, LPARAM(text.c_str()));
}

void CTessarinDlg::SetUpHelpText() {
    helpText_.SetColors(RGB(0, 0, 0), ::GetSysColor(COLOR_BTNFACE));
    helpText_.SetBaseFontSize(kHelpBaseFontSize);
    helpText_.SetText(ToWideString(MainWindowHelpText()));
}

void CTessarinDlg::AppendLog(std::wstring_view text) {
    HWND log = GetDlgItem(IDC_LOG);
    if (!::IsWindowVisible(Hwnd()) || log == nullptr) return;
    const std::wstring line(text);
    MakeRoomInLog(log, line.size());
    const auto length = WPARAM(::GetWindowTextLengthW(log));
    ::SendMessageW(log, EM_SETSEL, length, LPARAM(length));
    ::SendMessageW(log, EM_SCROLLCARET, 0, 0);
    ::SendMessageW(log, EM_REPLACESEL, FALSE, LPARAM(line.c_str()));
}

RoutingState CTessarinDlg::CurrentRoutingState() const {
    return RoutingState{
        .dictationTrigger = tracker_.dictationTrigger(),
        .commandTrigger = tracker_.commandTrigger(),
        .recordingIsCommand = recording_.recordingIsCommand(),
        .commands = commands_,
        .replacements = replacements_,
        .typing = {.appendSpace = settings_.appendSpace,
                   .appendNewline = settings_.appendNewline,
                   .usePaste = settings_.usePaste},
    };
}

LRESULT CTessarinDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto result = HandleApplicationMessage(message, wParam, lParam)) return *result;
    switch (message) {
        case WM_INPUT:
            return OnRawInput(wParam, lParam);
        case WM_INPUT_DEVICE_CHANGE:
            OnInputDeviceChange(wParam, lParam);
            return Default();
        case WM_DEVICECHANGE:
            if (wParam == DBT_DEVNODES_CHANGED || wParam == DBT_DEVICEARRIVAL ||
                wParam == DBT_DEVICEREMOVECOMPLETE) {
                FillInputDeviceList();
            }
            return TRUE;
        case WM_POWERBROADCAST:
            if (wParam == PBT_APMRESUMESUSPEND || wParam == PBT_APMRESUMEAUTOMATIC) OnResume();
            return TRUE;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == ID_SYS_ABOUT) {
                ShowAboutBox();
                return 0;
            }
            return Default();
        case WM_CLOSE:
            if (exitRequested_) return Default();
            HideToTray();
            return 0;
        case WM_WINDOWPOSCHANGING:
            if (keptInTray_) reinterpret_cast<WINDOWPOS*>(lParam)->flags &= ~SWP_SHOWWINDOW;
            return Default();
        case WM_QUERYDRAGICON:
            return LRESULT(icon_);
        default:
            return ui::CDialogEx::WindowProc(message, wParam, lParam);
    }
}

std::optional<LRESULT> CTessarinDlg::HandleApplicationMessage(UINT message, WPARAM wParam,
                                                              LPARAM lParam) {
    if (message == WM_APP_RESULT_TEXT) {
        const auto routed =
            HandleResultTextMessage(recording_.texts(), CurrentRoutingState(), *routing_);
        if (routed) RecordResult(*routed);
        return 0;
    }
    if (message == WM_APP_TRAY_NOTIFY) {
        OnTrayNotify(lParam);
        return 0;
    }
    // Zero when the message could not be registered; WM_NULL must not restore the window.
    if (RestoreMessage() != 0 && message == RestoreMessage()) {
        RestoreFromTray();
        return 0;
    }
    if (message == WM_APP_LONG_QUIET) {
        OnLongQuiet();
        return 0;
    }
    // A hands-free recording whose capture ended by itself (a failing device) is over.
    if (message == WM_APP_CAPTURE_DONE) tracker_.forgetHandsFree();
    if (recording_.handleMessage(message, wParam, lParam)) return 0;
    return std::nullopt;
}

bool CTessarinDlg::OnCommand(UINT id, UINT code, HWND control) {
    switch (id) {
        case IDC_USE_SELECTED_INPUT:
            OnUseSelectedInput();
            return true;
        case IDC_SELECT_TRIGGER:
            OnSelectTrigger();
            return true;
        case IDC_MULTIPLE_KEYBOARDS:
            OnMultipleKeyboards();
            return true;
        case IDC_RELOAD_ENGINE:
            (void)recording_.reload(true);
            return true;
        case IDC_EXIT:
            OnExitButton();
            return true;
        case IDC_ENABLE_DSP:
            OnEnableDsp();
            return true;
        case IDC_TEST_INPUT:
            recording_.toggleInputTest();
            return true;
        case IDC_DSP_DEFAULT:
            OnDspDefault();
            return true;
        case IDC_EDIT_COMMANDS:
            EditVoiceCommands();
            return true;
        case IDC_EDIT_REPLACEMENTS:
            EditReplacements();
            return true;
        case IDC_ADD_SPACE:
        case IDC_ADD_NEW_LINE:
        case IDC_START_MINIMIZED:
        case IDC_USE_PASTE:
        case IDC_FASTER_ENGINE_START:
        case IDC_RESTORE_CLIPBOARD:
        case IDC_SHOW_TEXT_WHILE_SPEAKING:
            OnOptionCheckBox(id);
            return true;
        case IDC_HISTORY:
        case ID_TRAY_HISTORY:
            ShowHistory();
            return true;
        case ID_TRAY_SETTINGS:
            RestoreFromTray();
            return true;
        case ID_TRAY_OPEN_MODEL_FOLDER:
            OpenModelFolder();
            return true;
        case ID_TRAY_EXIT:
            RequestExit();
            return true;
        case ID_TRAY_STOP_RECORDING:
            OnTrayStopRecording();
            return true;
        case IDC_TRIGGER_MODE:
            if (code == CBN_SELCHANGE) OnTriggerModeChanged();
            return true;
        default:
            return ui::CDialogEx::OnCommand(id, code, control);
    }
}

// Enter in a control that does not use it itself: the window has no OK button, and ending the
// program without the Exit question would surprise, so Enter does nothing.
void CTessarinDlg::OnOK() {}

void CTessarinDlg::OnCancel() {
    if (exitRequested_) {
        EndDialog(IDCANCEL);
        return;
    }
    HideToTray();
}

void CTessarinDlg::OnTimer(UINT_PTR timerId) {
    if (timerId == kClipboardRestoreTimerId) {
        routing_->OnClipboardRestoreTimer();
        return;
    }
    ui::CDialogEx::OnTimer(timerId);
}

void CTessarinDlg::OnSize(UINT type, int width, int height) {
    ui::CDialogEx::OnSize(type, width, height);
    if (type == SIZE_MINIMIZED && IsWindow()) HideToTray();
}

void CTessarinDlg::OnDestroy() {
    ShutDown();
    ui::CDialogEx::OnDestroy();
}

}  // namespace orvello
