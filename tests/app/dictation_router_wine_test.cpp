// Routing on the real system under Wine: the text typed or pasted into the window in front, the
// own window's test mode that only logs, and voice commands run by the real command execution.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_messages.h"
#include "app/dictation_router_win.h"
#include "app/text_message_win.h"
#include "tests/output/wine_output_support.h"
#include "tests/support/window_capture.h"
#include "text/utf_conversion.h"

namespace orvello::test {
namespace {

using Log = std::vector<std::wstring>;

VoiceCommand KeyChordCommand(std::u16string phrase, KeyStep step) {
    VoiceCommand command;
    command.phrase = std::move(phrase);
    command.type = ActionType::KeyChord;
    command.steps = {step};
    return command;
}

VoiceCommand InsertTextCommand(std::u16string phrase, std::u16string body) {
    VoiceCommand command;
    command.phrase = std::move(phrase);
    command.type = ActionType::InsertText;
    command.text_body = std::move(body);
    return command;
}

// Orvello's main window stands beside the window the user works in; routing writes its lines
// to `log`.
class RoutingWineTest : public testing::Test {
protected:
    RoutingWineTest() {
        dictationTrigger.keys = {ModifierKey::RightCtrl};
        commands.ReplaceCommands(
            {KeyChordCommand(u"copy|copy to clipboard", {.ctrl = true, .vk = 'C'}),
             KeyChordCommand(u"refresh", {.vk = VK_F5}),
             InsertTextCommand(u"greeting", u"Hi there")});
    }

    void Route(std::u16string_view text, HWND mainWindow) {
        WinRoutingPlatform platform(mainWindow,
                                    [this](std::wstring_view line) { log.emplace_back(line); });
        RouteRecognizedText(
            text,
            {dictationTrigger, commandTrigger, recordingIsCommand, commands, replacements, typing},
            platform);
    }

    TestWindow orvello{L"Orvello main window stand-in"};
    TriggerDefinition dictationTrigger;
    TriggerDefinition commandTrigger;
    bool recordingIsCommand = false;
    CommandStore commands;
    ReplacementStore replacements;
    TypingOptions typing;
    Log log;
};

TEST_F(RoutingWineTest, TextIsTypedIntoTheWindowInFront) {
    ShowWindow(orvello.hwnd(), SW_SHOWNOACTIVATE);  // visible, but behind the user's window
    KeyRecordingWindow target;
    ASSERT_TRUE(target.Focus());
    ASSERT_FALSE(IsOwnWindowInFront(orvello.hwnd()));

    typing.appendSpace = true;
    Route(u"hello", orvello.hwnd());
    EXPECT_TRUE(WaitUntil([&] { return target.characters.size() >= 6; }));
    PumpMessages(100);
    EXPECT_EQ(target.characters, L"hello ");
    EXPECT_EQ(log, Log{});
}

TEST_F(RoutingWineTest, OwnWindowInFrontOnlyLogs) {
    KeyRecordingWindow own;  // Orvello's window, in front
    ASSERT_TRUE(own.Focus());
    ASSERT_TRUE(IsOwnWindowInFront(own.hwnd()));

    typing.appendSpace = true;
    Route(u"hello", own.hwnd());
    Route(u"Copy.", own.hwnd());
    PumpMessages(300);
    EXPECT_EQ(log, (Log{L"[Text: hello]\r\n", L"[Command: copy|copy to clipboard]\r\n"}));
    EXPECT_EQ(own.characters, L"");
    EXPECT_TRUE(own.keys.empty()) << "no key of the typing or of Ctrl+C was sent";
}

TEST_F(RoutingWineTest, OwnedDialogInFrontOnlyLogs) {
    // A dialog owned by the main window, and a message box owned by that dialog.
    ShowWindow(orvello.hwnd(), SW_SHOWNOACTIVATE);
    KeyRecordingWindow dialog;
    KeyRecordingWindow messageBox;
    SetWindowLongPtrW(dialog.hwnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(orvello.hwnd()));
    SetWindowLongPtrW(messageBox.hwnd(), GWLP_HWNDPARENT,
                      reinterpret_cast<LONG_PTR>(dialog.hwnd()));
    ASSERT_EQ(GetWindow(messageBox.hwnd(), GW_OWNER), dialog.hwnd());

    ASSERT_TRUE(dialog.Focus());
    EXPECT_TRUE(IsOwnWindowInFront(orvello.hwnd()));
    ASSERT_TRUE(messageBox.Focus());
    EXPECT_TRUE(IsOwnWindowInFront(orvello.hwnd()));

    typing.appendNewline = true;
    Route(u"hello", orvello.hwnd());
    PumpMessages(300);
    EXPECT_EQ(log, Log{L"[Text: hello]\r\n"});
    EXPECT_EQ(messageBox.characters, L"") << "no Enter reaches the message box";
    EXPECT_TRUE(messageBox.keys.empty());

    ShowWindow(orvello.hwnd(), SW_HIDE);
    EXPECT_TRUE(IsOwnWindowInFront(orvello.hwnd())) << "still Orvello's own dialog in front";
}

TEST_F(RoutingWineTest, HiddenOwnWindowIsNeverInFront) {
    KeyRecordingWindow target;
    ASSERT_TRUE(target.Focus());
    EXPECT_TRUE(IsOwnWindowInFront(target.hwnd()));
    EXPECT_FALSE(IsOwnWindowInFront(orvello.hwnd())) << "hidden, as in the tray";
    EXPECT_FALSE(IsOwnWindowInFront(nullptr));
}

TEST_F(RoutingWineTest, InsertTextCommandRunsInsteadOfTyping) {
    KeyRecordingWindow target;
    ASSERT_TRUE(target.Focus());
    typing.appendSpace = true;
    Route(u"Greeting!", orvello.hwnd());
    EXPECT_TRUE(WaitUntil([&] { return target.characters.size() >= 8; }));
    PumpMessages(100);
    EXPECT_EQ(target.characters, L"Hi there");
    EXPECT_EQ(log, Log{L"[Command: greeting]\r\n"});
}

TEST_F(RoutingWineTest, KeyChordCommandOfTheCommandTriggerPressesItsKey) {
    commandTrigger.keys = {ModifierKey::RightAlt};
    recordingIsCommand = true;
    KeyRecordingWindow target;
    ASSERT_TRUE(target.Focus());
    Route(u" refresh. ", orvello.hwnd());
    EXPECT_TRUE(WaitUntil([&] { return target.keys.size() >= 2; }));
    PumpMessages(100);
    EXPECT_EQ(target.keys, (std::vector<KeyMessage>{Pressed(VK_F5), Released(VK_F5)}));
    EXPECT_EQ(log, Log{L"[Cmd trigger | Command: refresh]\r\n"});
}

TEST_F(RoutingWineTest, DictationTriggerTypesACommandPhraseWithoutRunningIt) {
    commandTrigger.keys = {ModifierKey::RightAlt};
    KeyRecordingWindow target;
    ASSERT_TRUE(target.Focus());
    Route(u"refresh", orvello.hwnd());
    EXPECT_TRUE(WaitUntil([&] { return target.characters.size() >= 7; }));
    PumpMessages(100);
    EXPECT_EQ(target.characters, L"refresh");
    for (const KeyMessage& key : target.keys) EXPECT_NE(key.virtualKey, UINT(VK_F5));
    EXPECT_EQ(log, Log{});
}

TEST_F(RoutingWineTest, FailedCommandLogsTheReasonOfExecution) {
    VoiceCommand launch;  // no application path
    launch.phrase = u"launch";
    launch.type = ActionType::RunApp;
    commands.ReplaceCommands({launch});
    Route(u"launch", orvello.hwnd());
    EXPECT_EQ(log, Log{L"No application path set.\r\n"});
}

TEST_F(RoutingWineTest, PastedTextWithSpaceAndNewlineArrivesInAnEditControl) {
    EditWindow target;
    ASSERT_TRUE(target.Focus());
    typing = {.appendSpace = true, .appendNewline = true, .usePaste = true};
    Route(u"hello", orvello.hwnd());
    EXPECT_TRUE(WaitUntil([&] { return target.Text() == L"hello \r\n"; }))
        << "edit control holds: " << testing::PrintToString(target.Text());
    EXPECT_EQ(log, Log{});
}

// The whole road from the recognition service's side: a posted result text is routed by the
// main window's handler and typed into the window in front.
TEST_F(RoutingWineTest, PostedResultTextIsTypedIntoTheWindowInFront) {
    WinRoutingPlatform platform(orvello.hwnd(),
                                [this](std::wstring_view line) { log.emplace_back(line); });
    typing.appendSpace = true;
    TextMailbox texts;
    orvello.OnMessage([&](UINT message, WPARAM, LPARAM) {
        if (message != WM_APP_RESULT_TEXT) return false;
        (void)HandleResultTextMessage(
            texts,
            {dictationTrigger, commandTrigger, recordingIsCommand, commands, replacements, typing},
            platform);
        return true;
    });
    KeyRecordingWindow target;
    ASSERT_TRUE(target.Focus());
    ASSERT_TRUE(texts.Post(orvello.hwnd(), WM_APP_RESULT_TEXT, L"Grüße"));
    EXPECT_TRUE(WaitUntil([&] { return target.characters.size() >= 6; }));
    PumpMessages(100);
    EXPECT_EQ(target.characters, L"Grüße ");
    EXPECT_EQ(log, Log{});
}

}  // namespace
}  // namespace orvello::test
