// The two windows that capture triggers: the main window (dictation trigger in the tracker,
// scope from "Use Multiple Keyboards", saved at once, single-Alt warning) and the commands
// dialog (its copy of the command trigger, toggling button, same-trigger notice).
#include <gtest/gtest.h>

#include <functional>

#include "capture_fixture.h"
#include "trigger/trigger_tracker.h"

namespace orvello::test {
namespace {

const std::u16string kSingleAltWarning =
    u"Warning: a single Alt key is not recommended as a trigger.\n\nMany applications use Alt "
    u"alone to activate their menu bar, which may interfere with dictation.\n\nRecommended "
    u"alternatives:\n  - Right Ctrl\n  - Alt + Shift, Alt + Ctrl, or another combination";

const std::u16string kSameTriggerNotice =
    u"The command trigger matches the main trigger.\n\nBoth dictation and commands will use the "
    u"same key \u2014 Orvello will try commands first, then fall back to text injection.\n\nTo "
    u"use split mode (commands and dictation on separate keys), set a different key "
    u"combination here.";

// Pressing and releasing on one keyboard, in the order given.
template <typename Target>
void pressAll(Target& target, ScriptedKeyboards& keyboards, DeviceHandle device, Keys keys) {
    for (ModifierKey key : keys) target.onKeyEvent(keyboards.event(device, key, true));
}
template <typename Target>
void releaseAll(Target& target, ScriptedKeyboards& keyboards, DeviceHandle device, Keys keys) {
    for (ModifierKey key : keys) target.onKeyEvent(keyboards.event(device, key, false));
}

class MainWindowCapture : public ::testing::Test {
protected:
    MainWindowCapture() { tracker.setDictationTrigger(anyKeyboard({LS, LC})); }

    void press(DeviceHandle device, Keys keys) { pressAll(capture, keyboards, device, keys); }
    void release(DeviceHandle device, Keys keys) { releaseAll(capture, keyboards, device, keys); }
    void tap(Keys keys) {
        press(kKeyboardA, keys);
        release(kKeyboardA, keys);
    }
    void select() {
        capture.onSelectTrigger();
        window.log.take();
    }

    ScriptedKeyboards keyboards;
    RecordingOwner trackerOwner;
    RecordingMessages trackerMessages;
    TriggerTracker tracker{keyboards.reader(), trackerOwner, trackerMessages};
    RecordingMainWindow window;
    MainWindowTriggerCapture capture{tracker, window, window};
};

TEST_F(MainWindowCapture, CapturedTriggerReplacesTheDictationTriggerAndIsSavedAtOnce) {
    capture.onSelectTrigger();
    EXPECT_EQ(window.log.take(), (Calls{std::string("text ") + kPrompt, "keys "}));
    press(kKeyboardA, {RC});
    release(kKeyboardA, {RC});

    EXPECT_EQ(tracker.dictationTrigger().keys, Keys{RC});
    EXPECT_TRUE(tracker.dictationTrigger().anyKeyboard);
    EXPECT_EQ(window.log.take(),
              (Calls{"text Right Ctrl", "keys Right Ctrl", "save", "uncheck multiple keyboards",
                     "text Right Ctrl", "keys Right Ctrl"}));
    EXPECT_TRUE(window.log.messages.empty());
    EXPECT_FALSE(capture.isCapturing());
}

TEST_F(MainWindowCapture, SingleAltIsKeptAfterAWarningShownBetweenSavingAndTheCheckBox) {
    for (ModifierKey alt : {LA, RA}) {
        select();
        tap({alt});
        EXPECT_EQ(tracker.dictationTrigger().keys, Keys{alt});
        const Calls calls = window.log.take();
        const Calls tail(calls.end() - 5, calls.end());
        EXPECT_EQ(tail, (Calls{"save", "message exclamation", "uncheck multiple keyboards",
                               "text " + narrow(modifierKeyDisplayText(alt)),
                               "keys " + narrow(modifierKeyDisplayText(alt))}));
    }
    ASSERT_EQ(window.log.messages.size(), 2u);
    EXPECT_EQ(window.log.messages[0].second, kSingleAltWarning);
    EXPECT_EQ(window.log.messages[1].second, kSingleAltWarning);

    select();
    tap({LA, LS});
    select();
    tap({LA, RA});
    EXPECT_EQ(window.log.messages.size(), 2u) << "combinations with Alt draw no warning";
}

TEST_F(MainWindowCapture, ScopeIsReadFromTheCheckBoxAtEveryStartAndTheBoxFollowsTheResult) {
    window.multipleKeyboards = true;
    select();
    press(kKeyboardB, {RC});
    press(kKeyboardA, {RS});
    release(kKeyboardA, {RS});
    release(kKeyboardB, {RC});
    EXPECT_EQ(triggerText(tracker.dictationTrigger()),
              u"Right Shift + Right Ctrl | Keyboard: VID_1A2C&PID_0E24&MI_00");
    EXPECT_EQ(tracker.dictationTrigger().deviceId, kIdentityB);
    EXPECT_TRUE(window.multipleKeyboards);
    EXPECT_EQ(window.log.take().back(), "keys Right Shift, Right Ctrl")
        << "the display is refreshed last";

    window.multipleKeyboards = false;
    select();
    press(kKeyboardB, {LC});
    release(kKeyboardB, {LC});
    EXPECT_TRUE(tracker.dictationTrigger().anyKeyboard);
    EXPECT_TRUE(tracker.dictationTrigger().deviceId.empty());
    EXPECT_FALSE(window.multipleKeyboards);
}

TEST_F(MainWindowCapture, LetterCancelsWithoutSavingAndTheOldTriggerReturns) {
    select();
    press(kKeyboardA, {LC, Letter});
    EXPECT_EQ(window.log.take(),
              (Calls{"text Left Ctrl", "keys Left Ctrl", "text Left Shift + Left Ctrl",
                     "keys Left Shift, Left Ctrl"}));
    EXPECT_FALSE(capture.isCapturing());
    EXPECT_EQ(tracker.dictationTrigger().keys, (Keys{LS, LC}));
    EXPECT_TRUE(window.log.messages.empty());
}

TEST_F(MainWindowCapture, SecondClickStartsAfreshWithoutTheKeysOfTheFirst) {
    select();
    press(kKeyboardA, {RC});
    capture.onSelectTrigger();
    EXPECT_EQ(window.log.take(), (Calls{"text Right Ctrl", "keys Right Ctrl",
                                        std::string("text ") + kPrompt, "keys "}));
    release(kKeyboardA, {RC});
    EXPECT_TRUE(capture.isCapturing());
    tap({RA});
    EXPECT_EQ(tracker.dictationTrigger().keys, Keys{RA});
}

TEST_F(MainWindowCapture, ScopeSwitchCancelsARunningCaptureWithoutAResult) {
    select();
    press(kKeyboardA, {RC});
    capture.cancel();
    EXPECT_FALSE(capture.isCapturing());
    EXPECT_EQ(window.log.take(),
              (Calls{"text Right Ctrl", "keys Right Ctrl", "text Left Shift + Left Ctrl",
                     "keys Left Shift, Left Ctrl"}));
    release(kKeyboardA, {RC});
    EXPECT_EQ(tracker.dictationTrigger().keys, (Keys{LS, LC}));
}

TEST_F(MainWindowCapture, KeysOfACaptureNeverReachTheTracker) {
    tracker.setDictationTrigger(anyKeyboard({RC}));
    select();
    tap({RC});
    EXPECT_EQ(trackerOwner.take(), Calls{})
        << "a trigger press during a capture started a recording";
    EXPECT_EQ(tracker.heldKeys().keyboardCount(), 0u);

    tap({RC});
    EXPECT_EQ(trackerOwner.take(), (Calls{"start dictation", "stop"}))
        << "after the capture the keys go to the tracker again";
}

// The releases of keys held into a capture never reach the tracker, so however the capture ends
// the tracker starts empty again, ending the recording the held trigger had started.
TEST_F(MainWindowCapture, EveryEndOfACaptureResetsTheTracker) {
    const std::function<void()> captureEnds[] = {[&] { tap({RA}); },
                                                 [&] { press(kKeyboardA, {Letter}); }};
    for (const auto& endCapture : captureEnds) {
        tracker.setDictationTrigger(anyKeyboard({RC}));
        press(kKeyboardA, {RC});
        EXPECT_EQ(trackerOwner.take(), Calls{"start dictation"});
        select();
        release(kKeyboardA, {RC});
        endCapture();
        EXPECT_FALSE(capture.isCapturing());
        EXPECT_EQ(trackerOwner.take(), Calls{"stop"});
        EXPECT_EQ(tracker.heldKeys().keyboardCount(), 0u);
    }
}

class CommandsDialogCapture : public ::testing::Test {
protected:
    explicit CommandsDialogCapture(TriggerDefinition dictation = anyKeyboard({RC}),
                                   bool captureAnyKeyboard = true)
        : capture(anyKeyboard({LA, RA}), std::move(dictation), captureAnyKeyboard, dialog, dialog) {
        dialog.capture = &capture;
    }

    void press(DeviceHandle device, Keys keys) { pressAll(capture, keyboards, device, keys); }
    void release(DeviceHandle device, Keys keys) { releaseAll(capture, keyboards, device, keys); }
    void select() {
        capture.onSelectTrigger();
        dialog.log.take();
    }

    ScriptedKeyboards keyboards;
    RecordingCommandsDialog dialog;
    CommandsDialogTriggerCapture capture;
};

TEST_F(CommandsDialogCapture, ButtonStartsAndASecondClickCancels) {
    capture.onSelectTrigger();
    EXPECT_TRUE(capture.isCapturing());
    EXPECT_EQ(dialog.log.take(), (Calls{"button Press keys...", "list buttons off",
                                        std::string("text ") + kPrompt, "keys "}));
    press(kKeyboardA, {LC});
    dialog.log.take();

    capture.onSelectTrigger();
    EXPECT_FALSE(capture.isCapturing());
    EXPECT_EQ(dialog.log.take(), (Calls{"button Select Trigger", "list buttons on",
                                        "text Left Alt + Right Alt", "keys Left Alt, Right Alt"}));
    release(kKeyboardA, {LC});
    EXPECT_EQ(capture.commandTrigger().keys, (Keys{LA, RA}));
    EXPECT_TRUE(dialog.log.take().empty());
}

TEST_F(CommandsDialogCapture, FinishedCaptureReplacesOnlyTheDialogsCopyWithoutANotice) {
    select();
    press(kKeyboardA, {LC, LS});
    EXPECT_EQ(dialog.log.take(),
              (Calls{"text Left Ctrl", "keys Left Ctrl", "text Left Shift + Left Ctrl",
                     "keys Left Shift, Left Ctrl"}));
    release(kKeyboardA, {LC, LS});
    EXPECT_EQ(capture.commandTrigger().keys, (Keys{LS, LC}));
    EXPECT_TRUE(capture.commandTrigger().anyKeyboard);
    EXPECT_EQ(dialog.log.take(), (Calls{"text Left Shift + Left Ctrl", "keys Left Shift, Left Ctrl",
                                        "button Select Trigger", "text Left Shift + Left Ctrl",
                                        "keys Left Shift, Left Ctrl", "list buttons on"}));
    EXPECT_TRUE(dialog.log.messages.empty());
}

TEST_F(CommandsDialogCapture, LetterCancelsAndTheOldCommandTriggerStays) {
    select();
    press(kKeyboardA, {RC, Letter});
    EXPECT_FALSE(capture.isCapturing());
    EXPECT_EQ(dialog.buttonText, u"Select Trigger");
    EXPECT_EQ(capture.commandTrigger().keys, (Keys{LA, RA}));
    EXPECT_EQ(dialog.log.shownText, u"Left Alt + Right Alt");
    EXPECT_TRUE(dialog.log.messages.empty());
}

TEST_F(CommandsDialogCapture, DictationTriggersKeysDrawTheNoticeAfterTheDisplayAndKeepTheTrigger) {
    select();
    press(kKeyboardA, {RC});
    release(kKeyboardA, {RC});
    EXPECT_EQ(capture.commandTrigger().keys, Keys{RC});
    const Calls calls = dialog.log.take();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "message information");
    ASSERT_EQ(dialog.log.messages.size(), 1u);
    EXPECT_EQ(dialog.log.messages[0].second, kSameTriggerNotice);
}

TEST_F(CommandsDialogCapture, OkCancelsARunningCaptureAndDoesNothingWhileIdle) {
    capture.cancel();
    EXPECT_TRUE(dialog.log.take().empty());
    select();
    press(kKeyboardA, {RS});
    capture.cancel();
    EXPECT_FALSE(capture.isCapturing());
    EXPECT_EQ(dialog.buttonText, u"Select Trigger");
    EXPECT_EQ(capture.commandTrigger().keys, (Keys{LA, RA}));
}

TEST_F(CommandsDialogCapture, KeysWhileIdleAreIgnoredAndInitialisationShowsTheTrigger) {
    press(kKeyboardA, {RC});
    release(kKeyboardA, {RC});
    EXPECT_TRUE(dialog.log.take().empty());
    capture.refreshDisplay();
    EXPECT_EQ(dialog.log.take(), (Calls{"text Left Alt + Right Alt", "keys Left Alt, Right Alt"}));
}

class CommandsDialogOnOneKeyboard : public CommandsDialogCapture {
protected:
    CommandsDialogOnOneKeyboard() : CommandsDialogCapture(onKeyboard({RC}, kIdentityA), false) {}
};

TEST_F(CommandsDialogOnOneKeyboard, ScopeFixedAtOpeningBindsToTheFirstKeyboardAndNoticeNeedsIt) {
    for (int round = 0; round < 2; ++round) {
        select();
        press(kKeyboardB, {RC});
        release(kKeyboardB, {RC});
        EXPECT_FALSE(capture.commandTrigger().anyKeyboard);
        EXPECT_EQ(capture.commandTrigger().deviceId, kIdentityB);
    }
    EXPECT_TRUE(dialog.log.messages.empty()) << "the same keys on another keyboard are no clash";

    select();
    press(kKeyboardA, {RC});
    release(kKeyboardA, {RC});
    EXPECT_EQ(capture.commandTrigger().deviceId, kIdentityA);
    EXPECT_EQ(dialog.log.messages.size(), 1u);
}

TEST(CommandTriggerOverlap, EqualKeysClashUnlessBothNameDifferentKeyboards) {
    const TriggerDefinition any = anyKeyboard({RC});
    const TriggerDefinition onA = onKeyboard({RC}, kIdentityA);
    const TriggerDefinition onB = onKeyboard({RC}, kIdentityB);
    EXPECT_TRUE(commandTriggerOverlapsDictation(any, any));
    EXPECT_TRUE(commandTriggerOverlapsDictation(onA, any));
    EXPECT_TRUE(commandTriggerOverlapsDictation(any, onB));
    EXPECT_TRUE(commandTriggerOverlapsDictation(onA, onKeyboard({RC}, kIdentityA)));
    EXPECT_FALSE(commandTriggerOverlapsDictation(onA, onB));
    EXPECT_FALSE(commandTriggerOverlapsDictation(anyKeyboard({RC, RA}), any));
    EXPECT_FALSE(commandTriggerOverlapsDictation(anyKeyboard({RA}), any));
}

}  // namespace
}  // namespace orvello::test
