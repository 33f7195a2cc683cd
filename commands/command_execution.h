#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "commands/text_variables.h"
#include "commands/voice_command.h"
#include "output/key_step.h"

namespace orvello {

// The platform calls command execution makes. On Windows: ShellExecuteW, text and key
// output through SendInput, and the clipboard.
class CommandPlatform : public TextVariableSource {
public:
    // ShellExecuteW with the verb "open", no owner window, no working directory and
    // SW_SHOWNORMAL; empty parameters are passed as none. Returns its result as a number:
    // above 32 on success, an error code otherwise.
    [[nodiscard]] virtual std::intptr_t ShellOpen(std::u16string_view file,
                                                  std::u16string_view parameters) = 0;
    [[nodiscard]] virtual bool TypeText(std::u16string_view text) = 0;
    [[nodiscard]] virtual bool SendKeySteps(std::span<const KeyStep> steps) = 0;
    [[nodiscard]] virtual bool SendMediaKey(std::uint16_t virtualKey) = 0;
    // True only when the clipboard took the text.
    [[nodiscard]] virtual bool SetClipboardText(std::u16string_view text) = 0;
    // True when the clipboard could be opened (and was emptied).
    [[nodiscard]] virtual bool ClearClipboard() = 0;
};

// The reason for a failed launch, from the shell's result (32 or less).
[[nodiscard]] std::u16string_view LaunchErrorReason(std::intptr_t shellResult);

// The virtual key of the volume and media commands (1 to 7); none for the others.
[[nodiscard]] std::optional<std::uint16_t> MediaKeyOfSystemCommand(SystemCommandId id);

// Runs one of the eleven system commands; ids 0 and unknown ids fail.
[[nodiscard]] bool RunSystemCommand(SystemCommandId id, std::u16string_view argument,
                                    CommandPlatform& platform);

// Performs the command's action at once. On failure, when errorText is given, it is
// overwritten with a one-line reason; on success it is left as it was. Any type other
// than RunApp, InsertText and SysCommand is sent as key steps.
[[nodiscard]] bool ExecuteCommand(const VoiceCommand& command, CommandPlatform& platform,
                                  std::u16string* errorText);

}  // namespace orvello
