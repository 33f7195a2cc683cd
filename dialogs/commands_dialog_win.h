#pragma once
// CCommandsDialog: the list of voice commands as a table (state, phrase, action type) with
// "New", "Edit", "Delete", "Move Up" and "Move Down", and the capture of the command trigger.
// It works on copies: the caller reads Commands() and CommandTrigger() back only when DoModal()
// returned IDOK.
//   CCommandsDialog dialog(commands, commandTrigger, dictationTrigger,
//                          commandTrigger.anyKeyboard, mainWindow);
//   if (dialog.DoModal() == IDOK) { commands = dialog.Commands(); ... }
// While it exists it is the process's target of raw keyboard input; it removes that
// registration when it is destroyed, so the caller registers its own window again afterwards.
#include <windows.h>

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "commands/voice_command.h"
#include "controls/head_static.h"
#include "controls/key_map_static.h"
#include "controls/table_list_box.h"
#include "dialogs/commands_dialog_trigger_capture.h"
#include "dialogs/commands_table.h"
#include "trigger/raw_keyboard_reader.h"
#include "trigger/trigger_definition.h"
#include "ui/dialog.h"

namespace orvello {

// Opens the command editor on a command; the edited command when the user accepted it.
class CommandEditorLauncher {
public:
    virtual ~CommandEditorLauncher() = default;
    [[nodiscard]] virtual std::optional<VoiceCommand> EditCommand(const VoiceCommand& command,
                                                                  HWND parent) = 0;
};

class CCommandsDialog : public ui::CDialogEx,
                        private CommandsDialogCaptureHost,
                        private MessagePresenter {
public:
    // `dictationTrigger` only serves to notice a command trigger that equals it;
    // `captureAnyKeyboard` is the keyboard scope a newly captured command trigger gets.
    // Edits commands with the command editor dialog.
    CCommandsDialog(std::vector<VoiceCommand> commands, TriggerDefinition commandTrigger,
                    TriggerDefinition dictationTrigger, bool captureAnyKeyboard, HWND parent);
    // The same with another way of editing one command.
    CCommandsDialog(std::vector<VoiceCommand> commands, TriggerDefinition commandTrigger,
                    TriggerDefinition dictationTrigger, bool captureAnyKeyboard, HWND parent,
                    CommandEditorLauncher& editor);
    ~CCommandsDialog() override;

    [[nodiscard]] const std::vector<VoiceCommand>& Commands() const { return commands_; }
    [[nodiscard]] const TriggerDefinition& CommandTrigger() const {
        return capture_.commandTrigger();
    }
    [[nodiscard]] bool IsCapturing() const { return capture_.isCapturing(); }

    // Makes the dialog the target of raw keyboard input, as at its start (again after a resume
    // from sleep, which the main window hears about).
    void RegisterRawInput();

protected:
    void BindControls() override;
    bool OnInitDialog() override;
    void OnOK() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnDestroy() override;

private:
    LRESULT OnRawInput(LPARAM lParam);
    void OnNew();
    void OnEdit();
    void OnDelete();
    void OnMoveUp();
    void OnMoveDown();

    [[nodiscard]] CommandsButtonStates ButtonStates() const;
    // The selected row, which is also the command's index in the list, or kNoCommandSelected.
    [[nodiscard]] int Selection() const;
    // Fills the table from the list and selects `selection` when it names a row.
    void RefreshTable(int selection);

    // CommandsDialogCaptureHost
    void showTriggerText(std::u16string_view text) override;
    void showTriggerKeys(std::span<const ModifierKey> keys) override;
    void setSelectTriggerText(std::u16string_view text) override;
    void updateButtonStates() override;
    // MessagePresenter
    void showMessage(MessageIcon icon, std::u16string_view text) override;

    std::vector<VoiceCommand> commands_;
    CommandEditorLauncher& editor_;
    RawKeyboardReader rawReader_;
    CommandsDialogTriggerCapture capture_;

    CTableListBox table_;
    CKeyMapStatic keyMap_;
    CHeadStatic header_;
};

}  // namespace orvello
