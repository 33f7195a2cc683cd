// The commands dialog as the program opens it: commands are edited in the command editor dialog.
#include "dialogs/commands_dialog_win.h"

#include <utility>

#include "dialogs/command_edit_dialog.h"

namespace orvello {
namespace {

class ModalCommandEditor final : public CommandEditorLauncher {
public:
    std::optional<VoiceCommand> EditCommand(const VoiceCommand& command, HWND parent) override {
        CCommandEditDialog editor(command, parent);
        if (editor.DoModal() != IDOK) return std::nullopt;
        return editor.Working();
    }
};

// Stateless, so one serves every dialog.
CommandEditorLauncher& TheModalCommandEditor() {
    static ModalCommandEditor editor;
    return editor;
}

}  // namespace

CCommandsDialog::CCommandsDialog(std::vector<VoiceCommand> commands,
                                 TriggerDefinition commandTrigger,
                                 TriggerDefinition dictationTrigger, bool captureAnyKeyboard,
                                 HWND parent)
    : CCommandsDialog(std::move(commands), std::move(commandTrigger), std::move(dictationTrigger),
                      captureAnyKeyboard, parent, TheModalCommandEditor()) {}

}  // namespace orvello
