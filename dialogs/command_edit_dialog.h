#pragma once
// CCommandEditDialog: edits one voice command (phrase, enabled, action type and the action's
// fields through an exchangeable action panel) on a private copy. The caller reads Working()
// after DoModal() returned IDOK.
//   CCommandEditDialog editor(command, commandsDialog);
//   if (editor.DoModal() == IDOK) command = editor.Working();
#include <memory>

#include "commands/voice_command.h"
#include "ui/dialog.h"

namespace orvello {

class CPanelBase;

class CCommandEditDialog : public ui::CDialogEx {
public:
    CCommandEditDialog(const VoiceCommand& command, HWND parent);
    ~CCommandEditDialog() override;

    [[nodiscard]] const VoiceCommand& Working() const { return working_; }

private:
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnOK() override;

    // Stores and destroys the current panel, then lays the panel of the selector item
    // over the placeholder and loads it from the working command.
    void ShowPanel(int selectorIndex);
    [[nodiscard]] int SelectedTypeIndex() const;
    // Normalises the phrase, stores every field and checks them; false after telling
    // the user what is wrong.
    [[nodiscard]] bool AcceptFields();

    VoiceCommand working_;
    std::unique_ptr<CPanelBase> panel_;  // none only when its window could not be created
};

}  // namespace orvello
