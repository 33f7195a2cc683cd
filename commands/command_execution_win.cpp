#include "commands/command_execution_win.h"

#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

#include "text/utf_conversion.h"
#include "output/clipboard_keeper_win.h"
#include "output/clipboard_win.h"
#include "output/output_win.h"
#include "text/utf_conversion.h"

namespace orvello {

std::tm WinCommandPlatform::LocalTimeNow() {
    return CurrentLocalTime();
}

std::u16string WinCommandPlatform::ReadClipboardText(std::size_t maxUnits) {
    return FromWideString(keeper_ ? keeper_->UserClipboardText(maxUnits)
                                  : orvello::ReadClipboardText(maxUnits));
}

std::intptr_t WinCommandPlatform::ShellOpen(std::u16string_view file,
                                            std::u16string_view parameters) {
    const std::wstring wideFile = ToWideString(file);
    const std::wstring wideParameters = ToWideString(parameters);
    const HINSTANCE result = ShellExecuteW(nullptr, L"open", wideFile.c_str(),
                                           parameters.empty() ? nullptr : wideParameters.c_str(),
                                           nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<std::intptr_t>(result);
}

bool WinCommandPlatform::TypeText(std::u16string_view text) {
    return orvello::TypeText(ToWideString(text));
}

bool WinCommandPlatform::SendKeySteps(std::span<const KeyStep> steps) {
    return orvello::SendKeySteps(steps);
}

bool WinCommandPlatform::SendMediaKey(std::uint16_t virtualKey) {
    return orvello::SendMediaKey(virtualKey);
}

bool WinCommandPlatform::SetClipboardText(std::u16string_view text) {
    return WriteClipboardText(ToWideString(text)) == ClipboardWriteResult::Placed;
}

bool WinCommandPlatform::ClearClipboard() {
    return orvello::ClearClipboard();
}

bool ExecuteCommand(const VoiceCommand& command, std::wstring* errorText) {
    WinCommandPlatform platform;
    std::u16string reason;
    const bool succeeded = ExecuteCommand(command, platform, errorText ? &reason : nullptr);
    if (!succeeded && errorText) *errorText = ToWideString(reason);
    return succeeded;
}

std::wstring ExpandVariables(std::wstring_view body) {
    WinCommandPlatform platform;
    return ToWideString(ExpandVariables(FromWideString(body), platform));
}

bool RunSystemCommand(SystemCommandId id, std::wstring_view argument) {
    WinCommandPlatform platform;
    return RunSystemCommand(id, FromWideString(argument), platform);
}

}  // namespace orvello
