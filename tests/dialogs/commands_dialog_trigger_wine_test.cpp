// The commands dialog's command trigger under Wine: captures from keys pressed on the virtual
// keyboard (XTest through xdotool), the same-trigger notice, its raw input registration, and
// how OK, Enter, Escape and Cancel end a modal run.
#include <gtest/gtest.h>

#include "tests/dialogs/commands_dialog_fixture.h"

namespace orvello::test {
namespace {

using namespace keycode;

constexpr wchar_t kPrompt[] = L"Press Ctrl / Alt / Shift combination...";
constexpr wchar_t kSameTriggerNotice[] =
    L"The command trigger matches the main trigger.\n\n"
    L"Both dictation and commands will use the same key \u2014 Orvello will try commands first, "
    L"then fall back to text injection.\n\n"
    L"To use split mode (commands and dictation on separate keys), set a different key "
    L"combination here.";

class CommandsDialogTrigger : public testing::Test {
protected:
    // Command trigger Right Alt, dictation trigger Right Ctrl, both any keyboard unless asked.
    void Open(bool captureAnyKeyboard = true, TriggerDefinition dictation = AnyKeyboard({RC})) {
        dialog = std::make_unique<CCommandsDialog>(
            std::vector<VoiceCommand>{Command(u"copy"), Command(u"paste")}, AnyKeyboard({RA}),
            std::move(dictation), captureAnyKeyboard, nullptr, editor);
        ASSERT_TRUE(dialog->Create());
        ASSERT_TRUE(ShowAndFocus(dialog->Hwnd()));
        view = std::make_unique<DialogView>(dialog->Hwnd());
    }
    // Presses keys and waits until the trigger text reads `text`.
    [[nodiscard]] bool PressUntilText(const std::string& keys, const std::wstring& text) {
        if (!Xdotool(keys)) return false;
        return PumpUntil([&] { return view->Text(IDC_TRIGGER_TEXT) == text; });
    }
    [[nodiscard]] bool PressUntilIdle(const std::string& keys) {
        if (!Xdotool(keys)) return false;
        return PumpUntil([&] { return !dialog->IsCapturing(); });
    }

    ScriptedEditor editor;
    std::unique_ptr<CCommandsDialog> dialog;
    std::unique_ptr<DialogView> view;
};

TEST_F(CommandsDialogTrigger, LeftCtrlWithLeftShiftBecomesTheCommandTrigger) {
    Open();
    view->Click(IDC_SELECT_TRIGGER);
    EXPECT_EQ(view->Text(IDC_SELECT_TRIGGER), L"Press keys...");
    EXPECT_EQ(view->Text(IDC_TRIGGER_TEXT), kPrompt);
    EXPECT_EQ(view->KeyMapTriggerKeys(), Keys{});
    EXPECT_EQ(view->ButtonStates(), "00000");

    ASSERT_TRUE(PressUntilText(down(kLeftCtrl) + down(kLeftShift), L"Left Shift + Left Ctrl"));
    EXPECT_EQ(view->KeyMapTriggerKeys(), (Keys{LS, LC}));
    EXPECT_TRUE(dialog->IsCapturing());

    MessageBoxAnswer noNotice(IDOK, 1500);
    ASSERT_TRUE(PressUntilIdle(up(kLeftCtrl) + up(kLeftShift)));
    EXPECT_TRUE(SameTrigger(dialog->CommandTrigger(), AnyKeyboard({LS, LC})));
    EXPECT_EQ(view->Text(IDC_TRIGGER_TEXT), L"Left Shift + Left Ctrl");
    EXPECT_EQ(view->Text(IDC_SELECT_TRIGGER), L"Select Trigger");
    EXPECT_EQ(view->ButtonStates(), "10000");
    noNotice.Join();
    EXPECT_FALSE(noNotice.found) << "a trigger unlike the dictation trigger needs no notice";
}

TEST_F(CommandsDialogTrigger, ASpecificScopeBindsTheTriggerToTheKeyboardPressed) {
    Open(false);
    view->Click(IDC_SELECT_TRIGGER);
    ASSERT_TRUE(PressUntilIdle(tap(kRightShift)));
    EXPECT_EQ(dialog->CommandTrigger().keys, Keys{RS});
    EXPECT_FALSE(dialog->CommandTrigger().anyKeyboard);
    EXPECT_EQ(dialog->CommandTrigger().deviceId, u"\\\\?\\HID#VID_845E&PID_0002");
    EXPECT_EQ(view->Text(IDC_TRIGGER_TEXT), L"Right Shift | Keyboard: VID_845E&PID_0002");
}

TEST_F(CommandsDialogTrigger, TheLetterACancelsAndTheOldTriggerReturns) {
    Open();
    view->Click(IDC_SELECT_TRIGGER);
    ASSERT_TRUE(PressUntilText(down(kLeftCtrl), L"Left Ctrl"));
    ASSERT_TRUE(PressUntilIdle(tap(kLetterA)));
    ASSERT_TRUE(Xdotool(up(kLeftCtrl)));
    PumpMessages(150);
    EXPECT_TRUE(SameTrigger(dialog->CommandTrigger(), AnyKeyboard({RA})));
    EXPECT_EQ(view->Text(IDC_TRIGGER_TEXT), L"Right Alt");
    EXPECT_EQ(view->KeyMapTriggerKeys(), Keys{RA});
    EXPECT_EQ(view->Text(IDC_SELECT_TRIGGER), L"Select Trigger");
}

TEST_F(CommandsDialogTrigger, ASecondClickCancelsAndKeysAreIgnoredOutsideACapture) {
    Open();
    view->Click(IDC_SELECT_TRIGGER);
    ASSERT_TRUE(PressUntilText(down(kLeftAlt), L"Left Alt"));
    view->Click(IDC_SELECT_TRIGGER);
    EXPECT_FALSE(dialog->IsCapturing());
    EXPECT_EQ(view->Text(IDC_SELECT_TRIGGER), L"Select Trigger");
    EXPECT_EQ(view->Text(IDC_TRIGGER_TEXT), L"Right Alt");

    ASSERT_TRUE(Xdotool(up(kLeftAlt) + tap(kRightCtrl)));
    PumpMessages(300);
    EXPECT_TRUE(SameTrigger(dialog->CommandTrigger(), AnyKeyboard({RA})));
    EXPECT_EQ(view->Text(IDC_TRIGGER_TEXT), L"Right Alt");
}

TEST_F(CommandsDialogTrigger, TheDictationTriggersKeysAreKeptWithANotice) {
    Open(false,
         AnyKeyboard({RC}));  // a specific command trigger still overlaps an any-keyboard one
    view->Click(IDC_SELECT_TRIGGER);
    MessageBoxAnswer notice(IDOK);
    ASSERT_TRUE(Xdotool(tap(kRightCtrl)));
    // The notice opens inside the dialog's WM_INPUT, so this thread must go on handling messages.
    ASSERT_TRUE(PumpUntil([&] { return notice.found.load(); }, 5000));
    notice.Join();
    EXPECT_EQ(notice.message, kSameTriggerNotice);
    EXPECT_EQ(notice.icon, IDI_INFORMATION);
    PumpMessages(100);
    EXPECT_EQ(dialog->CommandTrigger().keys, Keys{RC});
    EXPECT_FALSE(dialog->IsCapturing());
}

TEST_F(CommandsDialogTrigger, TheDialogHearsTheKeyboardUntilItIsDestroyed) {
    Open();
    EXPECT_EQ(KeyboardInputTarget(), dialog->Hwnd());
    dialog->DestroyWindow();
    bool registered = true;
    (void)KeyboardInputTarget(&registered);
    EXPECT_FALSE(registered) << "the keyboard registration outlived the dialog";
}

// ---- Modal runs ----

class CommandsDialogModal : public testing::Test {
protected:
    ScriptedEditor editor;
    CCommandsDialog dialog{{Command(u"copy"), Command(u"paste")},
                           AnyKeyboard({RA}),
                           AnyKeyboard({RC}),
                           true,
                           nullptr,
                           editor};
};

TEST_F(CommandsDialogModal, OkReturnsTheWorkingListAndTrigger) {
    const INT_PTR result = RunModal(dialog, [](HWND window) {
        DialogView view(window);
        ASSERT_TRUE(ShowAndFocus(window));
        SendMessageW(view.Table(), LB_SETCURSEL, 0, 0);
        view.SendCommand(IDC_COMMANDS_TABLE, LBN_SELCHANGE);
        view.Click(IDC_COMMANDS_MOVE_DOWN);
        view.Click(IDC_SELECT_TRIGGER);
        ASSERT_TRUE(Xdotool(tap(kRightShift)));
        ASSERT_TRUE(PumpUntil([&] { return view.Text(IDC_TRIGGER_TEXT) == L"Right Shift"; }));
        view.Click(IDOK);
    });
    EXPECT_EQ(result, IDOK);
    ASSERT_EQ(dialog.Commands().size(), 2u);
    EXPECT_EQ(dialog.Commands()[0].phrase, u"paste");
    EXPECT_TRUE(SameTrigger(dialog.CommandTrigger(), AnyKeyboard({RS})));
    bool registered = true;
    (void)KeyboardInputTarget(&registered);
    EXPECT_FALSE(registered);
}

TEST_F(CommandsDialogModal, OkDuringACaptureCancelsItAndKeepsThePreviousTrigger) {
    const INT_PTR result = RunModal(dialog, [](HWND window) {
        DialogView view(window);
        ASSERT_TRUE(ShowAndFocus(window));
        view.Click(IDC_SELECT_TRIGGER);
        ASSERT_TRUE(Xdotool(down(kLeftCtrl)));
        ASSERT_TRUE(PumpUntil([&] { return view.Text(IDC_TRIGGER_TEXT) == L"Left Ctrl"; }));
        view.Click(IDOK);
    });
    ASSERT_TRUE(Xdotool(up(kLeftCtrl)));
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(SameTrigger(dialog.CommandTrigger(), AnyKeyboard({RA})));
    EXPECT_FALSE(dialog.IsCapturing());
}

TEST_F(CommandsDialogModal, EnterDuringACaptureIsStillOk) {
    const INT_PTR result = RunModal(dialog, [](HWND window) {
        DialogView view(window);
        ASSERT_TRUE(ShowAndFocus(window));
        SetFocus(view.Table());
        view.Click(IDC_SELECT_TRIGGER);
        ASSERT_TRUE(Xdotool("key Return"));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(SameTrigger(dialog.CommandTrigger(), AnyKeyboard({RA})));
    EXPECT_FALSE(dialog.IsCapturing());
}

TEST_F(CommandsDialogModal, EscapeAndTheCloseBoxCancel) {
    EXPECT_EQ(RunModal(dialog,
                       [](HWND window) {
                           ASSERT_TRUE(ShowAndFocus(window));
                           ASSERT_TRUE(Xdotool("key Escape"));
                       }),
              IDCANCEL);
    EXPECT_EQ(RunModal(dialog, [](HWND window) { PostMessageW(window, WM_CLOSE, 0, 0); }),
              IDCANCEL);
    EXPECT_EQ(dialog.Commands().size(), 2u);
    EXPECT_TRUE(SameTrigger(dialog.CommandTrigger(), AnyKeyboard({RA})));
}

}  // namespace
}  // namespace orvello::test
