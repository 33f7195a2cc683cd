// Command execution: what each action type asks of the platform and the exact error texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/command_execution.h"
#include "tests/commands/recording_command_platform.h"

namespace orvello::test {
namespace {

class Execution : public ::testing::Test {
protected:
    Execution() { platform.localTime = MarchFifthMorning(); }

    // Runs the command; the error text starts as a marker so that "left as it was" shows.
    bool Execute(const VoiceCommand& command) {
        error = u"unchanged";
        return ExecuteCommand(command, platform, &error);
    }

    RecordingCommandPlatform platform;
    std::u16string error;
};

VoiceCommand RunAppCommand(std::u16string path, std::u16string args) {
    VoiceCommand command;
    command.type = ActionType::RunApp;
    command.app_path = std::move(path);
    command.app_args = std::move(args);
    return command;
}

VoiceCommand InsertTextCommand(std::u16string body) {
    VoiceCommand command;
    command.type = ActionType::InsertText;
    command.text_body = std::move(body);
    return command;
}

VoiceCommand SystemCommand(SystemCommandId id, std::u16string argument = {}) {
    VoiceCommand command;
    command.type = ActionType::SysCommand;
    command.sys_cmd_id = id;
    command.sys_cmd_arg = std::move(argument);
    return command;
}

VoiceCommand KeyCommand(ActionType type, std::vector<KeyStep> steps) {
    VoiceCommand command;
    command.type = type;
    command.steps = std::move(steps);
    return command;
}

TEST_F(Execution, RunAppOpensThePathWithItsArgumentsUntouched) {
    EXPECT_TRUE(Execute(RunAppCommand(u" C:\\Tools\\app.exe ", u"  --name \"{date}\" ")));
    EXPECT_EQ(error, u"unchanged");
    ASSERT_EQ(platform.shellOpens.size(), 1u);
    EXPECT_EQ(platform.shellOpens[0].file, u" C:\\Tools\\app.exe ");
    EXPECT_EQ(platform.shellOpens[0].parameters, u"  --name \"{date}\" ");
}

TEST_F(Execution, RunAppWithoutPathFailsWithoutCallingTheShell) {
    EXPECT_FALSE(Execute(RunAppCommand(u"", u"--flag")));
    EXPECT_EQ(error, u"No application path set.");
    EXPECT_FALSE(platform.TouchedAnything());
}

TEST_F(Execution, FailedLaunchNamesThePathAndTheReason) {
    platform.shellResult = 2;
    EXPECT_FALSE(Execute(RunAppCommand(u"C:\\missing.exe", u"")));
    EXPECT_EQ(error, u"Could not launch \"C:\\missing.exe\": File not found.");

    platform.shellResult = 33;  // the first success value
    EXPECT_TRUE(Execute(RunAppCommand(u"C:\\present.exe", u"")));
}

TEST(LaunchErrorReason, EveryShellErrorHasItsText) {
    const std::vector<std::pair<std::intptr_t, std::u16string_view>> table = {
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
        {1, u"Unknown error."},
        {28, u"Unknown error."},
        {-5, u"Unknown error."},
    };
    for (const auto& [result, reason] : table)
        EXPECT_EQ(LaunchErrorReason(result), reason) << result;
}

TEST_F(Execution, InsertTextTypesTheExpandedBody) {
    platform.clipboard = u"Zwischenablage";
    EXPECT_TRUE(Execute(InsertTextCommand(u"{date} {time}: {clipboard}\r\n")));
    ASSERT_EQ(platform.typedTexts.size(), 1u);
    EXPECT_EQ(platform.typedTexts[0], u"March 05, 2024 09:07: Zwischenablage\r\n");
    EXPECT_EQ(error, u"unchanged");
}

TEST_F(Execution, InsertTextFailures) {
    EXPECT_FALSE(Execute(InsertTextCommand(u"")));
    EXPECT_EQ(error, u"Insert Text body is empty.");
    EXPECT_FALSE(platform.TouchedAnything());

    platform.acceptsInput = false;
    EXPECT_FALSE(Execute(InsertTextCommand(u"hello")));
    EXPECT_EQ(error, u"Text injection failed.");
}

TEST_F(Execution, InsertTextOfAnEmptyClipboardTypesNothingAndSucceeds) {
    EXPECT_TRUE(Execute(InsertTextCommand(u"{clipboard}")));
    ASSERT_EQ(platform.typedTexts.size(), 1u);
    EXPECT_EQ(platform.typedTexts[0], u"");
}

TEST_F(Execution, KeyChordAndKeySequenceSendTheirSteps) {
    const std::vector<KeyStep> steps = {{.ctrl = true, .vk = 0x43}, {.vk = 0x0D}};
    EXPECT_TRUE(Execute(KeyCommand(ActionType::KeySequence, steps)));
    EXPECT_TRUE(Execute(KeyCommand(ActionType::KeyChord, {steps[0]})));
    ASSERT_EQ(platform.sentSteps.size(), 2u);
    EXPECT_EQ(platform.sentSteps[0], steps);
    EXPECT_EQ(error, u"unchanged");
}

TEST_F(Execution, UnknownTypesRunAsKeySteps) {
    EXPECT_TRUE(Execute(KeyCommand(static_cast<ActionType>(9), {{.vk = 0x41}})));
    EXPECT_TRUE(Execute(KeyCommand(static_cast<ActionType>(-1), {{.vk = 0x42}})));
    ASSERT_EQ(platform.sentSteps.size(), 2u);
    EXPECT_EQ(platform.sentSteps[1][0].vk, 0x42);
}

TEST_F(Execution, KeyStepFailures) {
    EXPECT_FALSE(Execute(KeyCommand(ActionType::KeyChord, {})));
    EXPECT_EQ(error, u"No key steps defined.");
    EXPECT_FALSE(platform.TouchedAnything());

    platform.acceptsInput = false;
    EXPECT_FALSE(Execute(KeyCommand(ActionType::KeySequence, {{.vk = 0x41}})));
    EXPECT_EQ(error, u"One or more key steps failed to send.");
}

TEST_F(Execution, NoErrorTextIsWrittenWhenNoneIsAsked) {
    EXPECT_FALSE(ExecuteCommand(RunAppCommand(u"", u""), platform, nullptr));
}

TEST_F(Execution, MediaCommandsSendTheirKeys) {
    const std::vector<std::pair<SystemCommandId, std::uint16_t>> table = {
        {SystemCommandId::VolumeUp, 0xAF},       {SystemCommandId::VolumeDown, 0xAE},
        {SystemCommandId::VolumeMute, 0xAD},     {SystemCommandId::MediaPlayPause, 0xB3},
        {SystemCommandId::MediaNextTrack, 0xB0}, {SystemCommandId::MediaPreviousTrack, 0xB1},
        {SystemCommandId::MediaStop, 0xB2}};
    for (const auto& [id, key] : table) EXPECT_TRUE(Execute(SystemCommand(id)));
    ASSERT_EQ(platform.mediaKeys.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(platform.mediaKeys[i], table[i].second);

    platform.acceptsInput = false;
    EXPECT_FALSE(Execute(SystemCommand(SystemCommandId::MediaStop)));
    EXPECT_EQ(error, u"System command failed.");
}

TEST_F(Execution, BrowserAndMailOpenTheirTargetsAsTyped) {
    EXPECT_TRUE(Execute(SystemCommand(SystemCommandId::OpenBrowser)));
    EXPECT_TRUE(Execute(SystemCommand(SystemCommandId::OpenBrowser, u"example.org/päge")));
    EXPECT_TRUE(Execute(SystemCommand(SystemCommandId::OpenEmailClient)));
    EXPECT_TRUE(Execute(SystemCommand(SystemCommandId::OpenEmailClient, u"anna@example.org")));
    ASSERT_EQ(platform.shellOpens.size(), 4u);
    EXPECT_EQ(platform.shellOpens[0].file, u"https://");
    EXPECT_EQ(platform.shellOpens[1].file, u"example.org/päge");
    EXPECT_EQ(platform.shellOpens[2].file, u"mailto:");
    EXPECT_EQ(platform.shellOpens[3].file, u"mailto:anna@example.org");
    for (const auto& call : platform.shellOpens) EXPECT_EQ(call.parameters, u"");

    platform.shellResult = 31;
    EXPECT_FALSE(Execute(SystemCommand(SystemCommandId::OpenBrowser)));
    EXPECT_EQ(error, u"System command failed.");
}

TEST_F(Execution, ClipboardCommands) {
    EXPECT_TRUE(Execute(SystemCommand(SystemCommandId::SetClipboardText, u"Grüße\r\n")));
    EXPECT_EQ(platform.clipboard, u"Grüße\r\n");
    EXPECT_TRUE(Execute(SystemCommand(SystemCommandId::ClearClipboard)));
    EXPECT_EQ(platform.clipboard, u"");

    platform.clipboardAvailable = false;
    EXPECT_FALSE(Execute(SystemCommand(SystemCommandId::ClearClipboard)));
    EXPECT_EQ(error, u"System command failed.");
}

TEST_F(Execution, SetClipboardTextWithoutArgumentFailsWithoutTouchingTheClipboard) {
    EXPECT_FALSE(Execute(SystemCommand(SystemCommandId::SetClipboardText)));
    EXPECT_EQ(error, u"System command failed.");
    EXPECT_FALSE(platform.TouchedAnything());
}

TEST_F(Execution, NoneAndUnknownSystemCommandsFail) {
    for (int id : {0, 12, -3}) {
        EXPECT_FALSE(Execute(SystemCommand(static_cast<SystemCommandId>(id), u"x")));
        EXPECT_EQ(error, u"System command failed.");
    }
    EXPECT_FALSE(platform.TouchedAnything());
}

}  // namespace
}  // namespace orvello::test
