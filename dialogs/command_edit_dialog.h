#pragma once
// CCommandEditDialog: edits one voice command (phrase, enabled, action type and the action's
// fields through an exchangeable action panel) on a private copy. The caller reads Working()
// after DoModal() returned IDOK.
//   CCommandEditDialog editor(command, commandsDialog);
//   if (editor.DoModal() == IDOK) command = editor.Working();
#include "commands/voice_command.h"
#include "ui/dialog.h"

namespace orvello {

class CCommandEditDialog : public ui::CDialogEx {
public:
    CCommandEditDialog(const VoiceCommand& command, HWND parent);
    ~CCommandEditDialog() override;

    [[nodiscard]] const VoiceCommand& Working() const { return working_; }

private:
    VoiceCommand working_;
};

}  // namespace orvello
