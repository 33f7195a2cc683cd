// Command execution against the real system under Wine: launching a program, the shell
// targets of the browser and e-mail commands, Insert Text with its variables, the clipboard
// and media-key commands, and key commands.
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "commands/command_execution_win.h"
#include "tests/output/wine_output_support.h"
#include "tests/support/window_capture.h"
#include "text/utf_conversion.h"

namespace orvello::test {
namespace {

using namespace std::chrono_literals;

const std::wstring kRecorder = WindowsPath(ORVELLO_RECORD_ARGUMENTS_EXE);

// A fresh output file for the argument recorder; its Wine path.
std::wstring FreshRecordFile(const std::string& name) {
    const std::wstring path = WindowsPath(ScratchPath(name));
    DeleteFileW(path.c_str());
    return path;
}

// Waits for the recorder's file and returns its text, or "" when it did not appear.
std::string RecordedArguments(const std::wstring& path) {
    std::string text;
    (void)WaitUntil(
        [&] {
            text = ReadWholeFile(path);
            return !text.empty();
        },
        15s);
    return text;
}

VoiceCommand RunAppCommand(const std::wstring& path, const std::wstring& args) {
    VoiceCommand command;
    command.type = ActionType::RunApp;
    command.app_path = FromWideString(path);
    command.app_args = FromWideString(args);
    return command;
}

VoiceCommand InsertTextCommand(const std::wstring& body) {
    VoiceCommand command;
    command.type = ActionType::InsertText;
    command.text_body = FromWideString(body);
    return command;
}

TEST(RunApp, LaunchesTheProgramWithItsArguments) {
    const std::wstring record = FreshRecordFile("run-app-arguments.txt");
    std::wstring error = L"unchanged";
    ASSERT_TRUE(ExecuteCommand(
        RunAppCommand(kRecorder, L"\"" + record + L"\" alpha \"two words\" Grüße"), &error));
    EXPECT_EQ(error, L"unchanged");
    EXPECT_EQ(RecordedArguments(record), "alpha\ntwo words\nGrüße\n");
}

TEST(RunApp, MissingProgramFailsWithTheShellsReason) {
    std::wstring error;
    EXPECT_FALSE(
        ExecuteCommand(RunAppCommand(L"C:\\windows\\orvello-no-such-program.exe", L""), &error));
    EXPECT_EQ(error,
              L"Could not launch \"C:\\windows\\orvello-no-such-program.exe\": File not found.");
}

TEST(RunApp, EmptyPathFailsBeforeTheShell) {
    std::wstring error;
    EXPECT_FALSE(ExecuteCommand(RunAppCommand(L"", L"--flag"), &error));
    EXPECT_EQ(error, L"No application path set.");
}

// A URL scheme whose "open" command is the argument recorder, for the life of the object.
// Wine looks URL handlers up in HKEY_CLASSES_ROOT only, without the user's
// Software\\Classes, so the handler goes there and the prefix's own handler comes back after.
class RecordingUrlHandler {
public:
    RecordingUrlHandler(const std::wstring& scheme, const std::wstring& recordFile)
        : schemeKey_(scheme), commandKey_(scheme + L"\\shell\\open\\command") {
        HKEY existing = nullptr;
        schemeExisted_ = RegOpenKeyExW(HKEY_CLASSES_ROOT, schemeKey_.c_str(), 0, KEY_READ,
                                       &existing) == ERROR_SUCCESS;
        if (schemeExisted_) RegCloseKey(existing);
        previousCommand_ = ReadCommand();
        const std::wstring command = L"\"" + kRecorder + L"\" \"" + recordFile + L"\" \"%1\"";
        registered_ = (schemeExisted_ || SetString(schemeKey_, L"URL Protocol", L"")) &&
                      SetString(commandKey_, nullptr, command);
    }
    ~RecordingUrlHandler() {
        if (!schemeExisted_) {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, schemeKey_.c_str());
        } else if (previousCommand_) {
            (void)SetString(commandKey_, nullptr, *previousCommand_);
        }
    }
    RecordingUrlHandler(const RecordingUrlHandler&) = delete;
    RecordingUrlHandler& operator=(const RecordingUrlHandler&) = delete;

    [[nodiscard]] bool Registered() const { return registered_; }

private:
    std::optional<std::wstring> ReadCommand() const {
        wchar_t value[1024] = {};
        DWORD size = sizeof value;
        if (RegGetValueW(HKEY_CLASSES_ROOT, commandKey_.c_str(), nullptr, RRF_RT_REG_SZ, nullptr,
                         value, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::wstring(value);
    }
    static bool SetString(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
        return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                               DWORD((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }

    std::wstring schemeKey_;
    std::wstring commandKey_;
    bool schemeExisted_ = false;
    std::optional<std::wstring> previousCommand_;
    bool registered_ = false;
};

TEST(OpenBrowser, WithoutAddressOpensHttps) {
    const std::wstring record = FreshRecordFile("browser-empty.txt");
    RecordingUrlHandler handler(L"https", record);
    ASSERT_TRUE(handler.Registered());
    ASSERT_TRUE(RunSystemCommand(SystemCommandId::OpenBrowser, L""));
    EXPECT_EQ(RecordedArguments(record), "https://\n");
}

TEST(OpenBrowser, AddressIsOpenedAsTyped) {
    const std::wstring record = FreshRecordFile("browser-address.txt");
    RecordingUrlHandler handler(L"orvello-test", record);
    ASSERT_TRUE(handler.Registered());
    ASSERT_TRUE(RunSystemCommand(SystemCommandId::OpenBrowser, L"orvello-test:seite/grüße"));
    EXPECT_EQ(RecordedArguments(record), "orvello-test:seite/grüße\n");
}

TEST(OpenBrowser, AddressNobodyOpensFails) {
    VoiceCommand command;
    command.type = ActionType::SysCommand;
    command.sys_cmd_id = SystemCommandId::OpenBrowser;
    command.sys_cmd_arg = u"orvello-unregistered-scheme:x";
    std::wstring error;
    EXPECT_FALSE(ExecuteCommand(command, &error));
    EXPECT_EQ(error, L"System command failed.");
}

TEST(OpenEmailClient, OpensMailtoWithAndWithoutAddress) {
    const std::wstring emptyRecord = FreshRecordFile("mail-empty.txt");
    const std::wstring addressRecord = FreshRecordFile("mail-address.txt");
    {
        RecordingUrlHandler handler(L"mailto", emptyRecord);
        ASSERT_TRUE(handler.Registered());
        ASSERT_TRUE(RunSystemCommand(SystemCommandId::OpenEmailClient, L""));
        EXPECT_EQ(RecordedArguments(emptyRecord), "mailto:\n");
    }
    RecordingUrlHandler handler(L"mailto", addressRecord);
    ASSERT_TRUE(handler.Registered());
    ASSERT_TRUE(RunSystemCommand(SystemCommandId::OpenEmailClient, L"anna@example.org"));
    EXPECT_EQ(RecordedArguments(addressRecord), "mailto:anna@example.org\n");
}

// "MMMM dd, yyyy" and "HH:mm" of the US English locale, formatted by Windows itself.
std::wstring UsDate(const SYSTEMTIME& time) {
    wchar_t text[64] = {};
    GetDateFormatEx(L"en-US", 0, &time, L"MMMM dd, yyyy", text, 64, nullptr);
    return text;
}
std::wstring UsTime(const SYSTEMTIME& time) {
    wchar_t text[32] = {};
    GetTimeFormatEx(L"en-US", 0, &time, L"HH:mm", text, 32);
    return text;
}

TEST(InsertText, TypesTheBodyWithDateTimeAndClipboardExpanded) {
    ASSERT_TRUE(SetClipboardTextDirect(L"Zwischenablage {date} ü\U0001F600"));
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    SYSTEMTIME before, after;
    GetLocalTime(&before);
    std::wstring error = L"unchanged";
    ASSERT_TRUE(ExecuteCommand(InsertTextCommand(L"Am {date} um {time}: [{clipboard}] {Date}\r\n"),
                               &error));
    GetLocalTime(&after);
    EXPECT_EQ(error, L"unchanged");

    auto expectedAt = [](const SYSTEMTIME& time) {
        // CR LF arrives as the Enter key, whose character is CR.
        return L"Am " + UsDate(time) + L" um " + UsTime(time) +
               L": [Zwischenablage {date} ü\U0001F600] {Date}\r";
    };
    ASSERT_TRUE(WaitUntil([&] { return window.characters.size() >= expectedAt(after).size(); }));
    PumpMessages(100);
    EXPECT_TRUE(window.characters == expectedAt(before) || window.characters == expectedAt(after))
        << testing::PrintToString(window.characters);
}

TEST(InsertText, ClipboardLongerThanTheLimitIsCut) {
    std::wstring clipboard;
    for (int i = 0; clipboard.size() < 70'000; ++i) clipboard += std::to_wstring(i) + L",";
    ASSERT_TRUE(SetClipboardTextDirect(clipboard));
    const std::wstring expected = clipboard.substr(0, 65'536);
    EXPECT_EQ(ExpandVariables(L"{clipboard}"), expected);

    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    ASSERT_TRUE(ExecuteCommand(InsertTextCommand(L"{clipboard}"), nullptr));
    ASSERT_TRUE(WaitUntil([&] { return window.characters.size() >= expected.size(); }, 120s))
        << window.characters.size() << " characters arrived";
    PumpMessages(300);
    EXPECT_EQ(window.characters.size(), expected.size());
    EXPECT_TRUE(window.characters == expected);
}

TEST(InsertText, EmptyClipboardTypesNothingAndSucceeds) {
    ASSERT_TRUE(RunSystemCommand(SystemCommandId::ClearClipboard, L""));
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    std::wstring error = L"unchanged";
    EXPECT_TRUE(ExecuteCommand(InsertTextCommand(L"{clipboard}"), &error));
    EXPECT_EQ(error, L"unchanged");
    PumpMessages(300);
    EXPECT_TRUE(window.keys.empty());
}

TEST(ClipboardCommands, SetPutsTheTextOnTheClipboardAndClearEmptiesIt) {
    ASSERT_TRUE(RunSystemCommand(SystemCommandId::SetClipboardText, L"Grüße\r\nzweite \U0001F600"));
    EXPECT_EQ(ClipboardTextDirect(), L"Grüße\r\nzweite \U0001F600");
    ASSERT_TRUE(RunSystemCommand(SystemCommandId::ClearClipboard, L"ignored"));
    EXPECT_FALSE(ClipboardHoldsText());
}

TEST(ClipboardCommands, SetWithoutTextFailsAndLeavesTheClipboard) {
    ASSERT_TRUE(SetClipboardTextDirect(L"keep me"));
    VoiceCommand command;
    command.type = ActionType::SysCommand;
    command.sys_cmd_id = SystemCommandId::SetClipboardText;
    std::wstring error;
    EXPECT_FALSE(ExecuteCommand(command, &error));
    EXPECT_EQ(error, L"System command failed.");
    EXPECT_EQ(ClipboardTextDirect(), L"keep me");
}

TEST(ClipboardCommands, FailWhileAnotherProgramHoldsTheClipboard) {
    ASSERT_TRUE(SetClipboardTextDirect(L"keep me"));
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Holding());
        EXPECT_FALSE(RunSystemCommand(SystemCommandId::SetClipboardText, L"new"));
        EXPECT_FALSE(RunSystemCommand(SystemCommandId::ClearClipboard, L""));
        EXPECT_EQ(ExpandVariables(L"[{clipboard}]"), L"[]") << "an unreadable clipboard is empty";
    }
    EXPECT_EQ(ClipboardTextDirect(), L"keep me");
}

TEST(MediaCommands, EachSendsItsKeyAsAnExtendedKeyPress) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    const std::vector<std::pair<SystemCommandId, UINT>> commands = {
        {SystemCommandId::VolumeUp, VK_VOLUME_UP},
        {SystemCommandId::VolumeDown, VK_VOLUME_DOWN},
        {SystemCommandId::VolumeMute, VK_VOLUME_MUTE},
        {SystemCommandId::MediaPlayPause, VK_MEDIA_PLAY_PAUSE},
        {SystemCommandId::MediaNextTrack, VK_MEDIA_NEXT_TRACK},
        {SystemCommandId::MediaPreviousTrack, VK_MEDIA_PREV_TRACK},
        {SystemCommandId::MediaStop, VK_MEDIA_STOP}};
    std::vector<KeyMessage> expected;
    for (const auto& [id, virtualKey] : commands) {
        EXPECT_TRUE(RunSystemCommand(id, L""));
        expected.push_back(Pressed(virtualKey, true));
        expected.push_back(Released(virtualKey, true));
    }
    (void)WaitUntil([&] { return window.keys.size() >= expected.size(); });
    PumpMessages(150);
    EXPECT_EQ(window.keys, expected);
}

TEST(KeyCommands, UnknownTypeRunsItsStepAndEmptyStepsSendNothing) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    VoiceCommand emptySteps;
    emptySteps.type = ActionType::KeySequence;
    emptySteps.steps = {KeyStep{.ctrl = true}, KeyStep{}};
    std::wstring error = L"unchanged";
    EXPECT_TRUE(ExecuteCommand(emptySteps, &error));
    PumpMessages(300);
    EXPECT_TRUE(window.keys.empty());

    VoiceCommand handEdited;
    handEdited.type = static_cast<ActionType>(9);
    handEdited.steps = {KeyStep{.shift = true, .vk = 'Q'}};
    EXPECT_TRUE(ExecuteCommand(handEdited, &error));
    (void)WaitUntil([&] { return window.keys.size() >= 4; });
    PumpMessages(150);
    const std::vector<KeyMessage> expected = {Pressed(VK_SHIFT), Pressed('Q'), Released('Q'),
                                              Released(VK_SHIFT)};
    EXPECT_EQ(window.keys, expected);
    EXPECT_EQ(error, L"unchanged");
}

}  // namespace
}  // namespace orvello::test
