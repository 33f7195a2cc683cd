#include "commands/command_execution.h"

#include <array>
#include <utility>

namespace orvello {

namespace {

constexpr std::intptr_t kShellSuccessAbove = 32;

constexpr std::array<std::pair<std::intptr_t, std::u16string_view>, 10> kLaunchErrorReasons = {{
    {0, u"Out of memory or resources."},
    {2, u"File not found."},
    {3, u"Path not found."},
    {5, u"Access denied."},
    {8, u"Not enough memory."},
    {11, u"Invalid executable format."},
    {26, u"Sharing violation."},
    {27, u"File association incomplete or invalid."},
    {31, u"No application associated with this file type."},
    {32, u"Required DLL not found."},
}};

constexpr std::array<std::pair<SystemCommandId, std::uint16_t>, 7> kMediaKeys = {{
    {SystemCommandId::VolumeUp, 0xAF},
    {SystemCommandId::VolumeDown, 0xAE},
    {SystemCommandId::VolumeMute, 0xAD},
    {SystemCommandId::MediaPlayPause, 0xB3},
    {SystemCommandId::MediaNextTrack, 0xB0},
    {SystemCommandId::MediaPreviousTrack, 0xB1},
    {SystemCommandId::MediaStop, 0xB2},
}};

bool Fail(std::u16string* errorText, std::u16string_view reason) {
    if (errorText) errorText->assign(reason);
    return false;
}

bool ShellOpenSucceeds(CommandPlatform& platform, std::u16string_view target) {
    return platform.ShellOpen(target, {}) > kShellSuccessAbove;
}

bool RunApp(const VoiceCommand& command, CommandPlatform& platform, std::u16string* errorText) {
    if (command.app_path.empty()) return Fail(errorText, u"No application path set.");
    const std::intptr_t result = platform.ShellOpen(command.app_path, command.app_args);
    if (result > kShellSuccessAbove) return true;
    return Fail(errorText, u"Could not launch \"" + command.app_path + u"\": " +
                               std::u16string(LaunchErrorReason(result)));
}

bool InsertText(const VoiceCommand& command, CommandPlatform& platform, std::u16string* errorText) {
    if (command.text_body.empty()) return Fail(errorText, u"Insert Text body is empty.");
    // Insert Text always types, whatever the paste option of dictation says.
    if (!platform.TypeText(ExpandVariables(command.text_body, platform)))
        return Fail(errorText, u"Text injection failed.");
    return true;
}

bool RunSystemCommandAction(const VoiceCommand& command, CommandPlatform& platform,
                            std::u16string* errorText) {
    if (!RunSystemCommand(command.sys_cmd_id, command.sys_cmd_arg, platform))
        return Fail(errorText, u"System command failed.");
    return true;
}

bool SendSteps(const VoiceCommand& command, CommandPlatform& platform, std::u16string* errorText) {
    if (command.steps.empty()) return Fail(errorText, u"No key steps defined.");
    if (!platform.SendKeySteps(command.steps))
        return Fail(errorText, u"One or more key steps failed to send.");
    return true;
}

}  // namespace

std::u16string_view LaunchErrorReason(std::intptr_t shellResult) {
    for (const auto& [result, reason] : kLaunchErrorReasons) {
        if (result == shellResult) return reason;
    }
    return u"Unknown error.";
}

std::optional<std::uint16_t> MediaKeyOfSystemCommand(SystemCommandId id) {
    for (const auto& [command, virtualKey] : kMediaKeys) {
        if (command == id) return virtualKey;
    }
    return std::nullopt;
}

bool RunSystemCommand(SystemCommandId id, std::u16string_view argument, CommandPlatform& platform) {
    if (const auto mediaKey = MediaKeyOfSystemCommand(id)) return platform.SendMediaKey(*mediaKey);
    switch (id) {
        case SystemCommandId::OpenBrowser:
            // Used as typed: no scheme is added to an address without one.
            return ShellOpenSucceeds(platform, argument.empty() ? u"https://" : argument);
        case SystemCommandId::OpenEmailClient:
            return ShellOpenSucceeds(platform, u"mailto:" + std::u16string(argument));
        case SystemCommandId::SetClipboardText:
            return !argument.empty() && platform.SetClipboardText(argument);
        case SystemCommandId::ClearClipboard:
            return platform.ClearClipboard();
        default:
            return false;
    }
}

bool ExecuteCommand(const VoiceCommand& command, CommandPlatform& platform,
                    std::u16string* errorText) {
    switch (command.type) {
        case ActionType::RunApp:
            return RunApp(command, platform, errorText);
        case ActionType::InsertText:
            return InsertText(command, platform, errorText);
        case ActionType::SysCommand:
            return RunSystemCommandAction(command, platform, errorText);
        default:
            return SendSteps(command, platform, errorText);
    }
}

}  // namespace orvello
