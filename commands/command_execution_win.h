#pragma once

// Windows only: command execution with the real shell, keyboard and clipboard.

#include <string>
#include <string_view>

#include "commands/command_execution.h"

namespace orvello {

class ClipboardKeeper;

class WinCommandPlatform final : public CommandPlatform {
public:
    // With a keeper, {clipboard} reads what the user copied even while a pasted dictation is on
    // the clipboard; without one, the clipboard as it is.
    explicit WinCommandPlatform(const ClipboardKeeper* keeper = nullptr) : keeper_(keeper) {}

    [[nodiscard]] std::tm LocalTimeNow() override;
    [[nodiscard]] std::u16string ReadClipboardText(std::size_t maxUnits) override;
    [[nodiscard]] std::intptr_t ShellOpen(std::u16string_view file,
                                          std::u16string_view parameters) override;
    [[nodiscard]] bool TypeText(std::u16string_view text) override;
    [[nodiscard]] bool SendKeySteps(std::span<const KeyStep> steps) override;
    [[nodiscard]] bool SendMediaKey(std::uint16_t virtualKey) override;
    [[nodiscard]] bool SetClipboardText(std::u16string_view text) override;
    [[nodiscard]] bool ClearClipboard() override;

private:
    const ClipboardKeeper* keeper_;
};

// Runs the command's action on the calling thread; never shows a message box. On failure the
// reason goes to errorText when it is given.
[[nodiscard]] bool ExecuteCommand(const VoiceCommand& command, std::wstring* errorText);

// The Insert Text body with {date}, {time} and {clipboard} replaced.
[[nodiscard]] std::wstring ExpandVariables(std::wstring_view body);

[[nodiscard]] bool RunSystemCommand(SystemCommandId id, std::wstring_view argument);

}  // namespace orvello
