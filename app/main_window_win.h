#pragma once
// CTessarinDlg: Orvello's one main window, a dialog from template IDD_MAIN run modally for the
// whole life of the program. It ties the subsystems together: the raw keyboard reader with the
// trigger tracker and the trigger capture, the recognition service (through RecordingControl),
// the voice commands, the status overlay, the input-device list, the settings and the log area.
// It lives in the notification area when hidden. Everything here runs on the user-interface
// thread; worker threads report by posting the application messages of app_messages.h.
#include <windows.h>

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "app/dictation_router_win.h"
#include "app/history_keeper_win.h"
#include "app/input_device_list.h"
#include "app/main_window_trigger_capture.h"
#include "app/recording_control_win.h"
#include "app/registry_profile_win.h"
#include "app/settings.h"
#include "app/tray_icon_win.h"
#include "commands/command_store.h"
#include "controls/head_static.h"
#include "controls/key_map_static.h"
#include "controls/markdown_text_ctrl_win.h"
#include "controls/overlay_window_win.h"
#include "dialogs/commands_dialog_win.h"
#include "dialogs/history_dialog_win.h"
#include "replacements/replacement_store.h"
#include "trigger/raw_keyboard_reader.h"
#include "trigger/trigger_tracker.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/win32_handles.h"

namespace orvello {

class CTessarinDlg final : public ui::CDialogEx,
                           private TriggerOwner,
                           private KeyMapDisplay,
                           private MessagePresenter,
                           private MainWindowCaptureHost,
                           private RecordingHost {
public:
    static constexpr UINT_PTR kClipboardRestoreTimerId = 7;
    static constexpr UINT ID_SYS_ABOUT = 0x0010;

    CTessarinDlg();
    ~CTessarinDlg() override;

    // The log area: appended at the end while the window is visible, dropped while hidden.
    void AppendLog(std::wstring_view text) override;

private:
    // Dialog life.
    void BindControls() override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnHScroll(UINT code, int position, HWND scrollBar) override;
    void OnTimer(UINT_PTR timerId) override;
    void OnDestroy() override;
    void OnSize(UINT type, int width, int height) override;
    void OnPaint() override;
    [[nodiscard]] std::optional<LRESULT> HandleApplicationMessage(UINT message, WPARAM wParam,
                                                                  LPARAM lParam);
    void WriteFirstLogText();
    void SetUpHelpText();

    // Notification area, hiding and restoring (main_window_shell_win.cpp).
    void AddSystemMenuAbout();
    void SetWindowIcons();
    void HideToTray();
    void RestoreFromTray();
    void OnTrayNotify(LPARAM mouseMessage);
    void ShowAboutBox();
    void OpenModelFolder();
    void RequestExit();
    void OnExitButton();
    void ShutDown();

    // Devices, DSP and options (main_window_options_win.cpp).
    void FillInputDeviceList();
    void OnUseSelectedInput();
    void SetUpDspControls();
    void RefreshDspLabels();
    void OnDspSliderMoved(HWND slider);
    void OnDspDefault();
    void OnEnableDsp();
    void LoadOptionCheckBoxes();
    void OnOptionCheckBox(UINT id);
    [[nodiscard]] bool IsChecked(int id) const;
    void SetChecked(int id, bool checked) const;
    void CreateLogFont();

    // Keyboard (main_window_keyboard_win.cpp).
    void RegisterRawInput();
    LRESULT OnRawInput(WPARAM wParam, LPARAM lParam);
    void OnInputDeviceChange(WPARAM change, LPARAM device);
    void OnResume();
    void OnSelectTrigger();
    void OnMultipleKeyboards();
    void EditVoiceCommands();

    // Replacements (main_window_replacements_win.cpp).
    void LoadReplacementsAtStart();
    void EditReplacements();
    // History (main_window_history_win.cpp).
    void StartHistory();
    void RecordResult(const RoutedResult& result);
    void ShowHistory();
    // The trigger mode and hands-free recordings (main_window_hands_free_win.cpp).
    void SetUpTriggerModeList();
    void OnTriggerModeChanged();
    void OnTrayStopRecording();
    void OnLongQuiet();
    [[nodiscard]] std::u16string HandsFreeHint() const;

    // TriggerOwner
    bool startRequest(bool forCommandTrigger) override;
    void stopRequest() override;
    void handsFreeStarted() override;
    void cancelTriggerCapture() override;
    void refreshTriggerDisplay() override;
    void saveTriggers() override;
    // KeyMapDisplay
    void SetPressedKeys(std::span<const ModifierKey> keys) override;
    // MessagePresenter
    void showMessage(MessageIcon icon, std::u16string_view text) override;
    // MainWindowCaptureHost
    void showTriggerText(std::u16string_view text) override;
    void showTriggerKeys(std::span<const ModifierKey> keys) override;
    [[nodiscard]] bool useMultipleKeyboards() const override;
    void setUseMultipleKeyboards(bool checked) override;
    void saveDictationTrigger() override;
    // RecordingHost
    [[nodiscard]] HWND MessageWindow() const override { return Hwnd(); }
    [[nodiscard]] HWND TestInputButton() const override;
    [[nodiscard]] HWND TestLevelMeter() const override;
    void ResetTriggerWithoutStopRequest() override { tracker_.resetWithoutStopRequest(); }
    [[nodiscard]] bool ActiveTriggerIsCommand() const override {
        return tracker_.activeIsCommand();
    }
    [[nodiscard]] std::span<const InputDeviceEntry> InputDevices() const override {
        return inputDevices_;
    }
    [[nodiscard]] std::optional<std::size_t> SelectedInputDevice() const override;
    [[nodiscard]] const Settings& CurrentSettings() const override { return settings_; }

    [[nodiscard]] RoutingState CurrentRoutingState() const;

    // Window management.
    HICON icon_ = nullptr;
    TrayIcon trayIcon_;
    bool exitRequested_ = false;
    // While set, only RestoreFromTray shows the window: a modal dialog is also shown by the
    // dialog manager when its queue first runs empty, which would undo a hidden start or a
    // Hide clicked before that moment.
    bool keptInTray_ = false;

    // Settings as loaded and changed; the triggers themselves live in the tracker.
    RegistryProfileStore profile_;
    Settings settings_;
    std::vector<InputDeviceEntry> inputDevices_;
    CommandStore commands_;
    ReplacementStore replacements_;
    HistoryKeeper history_;
    CHistoryDialog* openHistoryDialog_ = nullptr;

    // Keyboard. While the commands dialog runs, it is the target of raw input.
    RawKeyboardReader rawReader_;
    CCommandsDialog* openCommandsDialog_ = nullptr;
    TriggerTracker tracker_;
    MainWindowTriggerCapture capture_;

    // Controls adopted from the template.
    std::array<CHeadStatic, 5> headers_;
    CKeyMapStatic keyMap_;
    CMarkdownTextCtrl helpText_;
    ui::CListBox inputList_;
    ui::UniqueFont logFont_;

    COverlayWindow overlay_;
    RecordingControl recording_;
    std::unique_ptr<WinRoutingPlatform> routing_;
    // The window in front when the running recording went hands-free: a stop from the tray
    // menu gives it the foreground back, so that the text goes where the user was dictating.
    HWND handsFreeTarget_ = nullptr;
};

}  // namespace orvello
