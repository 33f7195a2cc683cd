// The capture itself: collecting a combination until no modifier is held, cancelling on other
// keys, keyboards and scopes, restarts, and what the trigger display shows at each step.
#include <gtest/gtest.h>

#include "capture_fixture.h"

namespace orvello::test {
namespace {

// An event whose device name could be read but yielded an empty identity.
KeyboardEvent withoutIdentity(ModifierKey key, bool isDown) {
    KeyboardEvent event;
    event.key = key;
    event.isDown = isDown;
    return event;
}

class Capture : public ::testing::Test {
protected:
    Capture() { owner.trigger = anyKeyboard({LS}); }

    void press(DeviceHandle device, ModifierKey key) {
        capture.onKeyEvent(keyboards.event(device, key, true));
    }
    void release(DeviceHandle device, ModifierKey key) {
        capture.onKeyEvent(keyboards.event(device, key, false));
    }
    void press(ModifierKey key) { press(kKeyboardA, key); }
    void release(ModifierKey key) { release(kKeyboardA, key); }

    void startAnyKeyboard() {
        capture.start(true);
        owner.log.take();
    }
    void startOneKeyboard() {
        capture.start(false);
        owner.log.take();
    }

    void expectIdleAndEmpty() {
        EXPECT_FALSE(capture.isCapturing());
        EXPECT_TRUE(capture.heldKeys().empty());
        EXPECT_TRUE(capture.collectedKeys().empty());
        EXPECT_TRUE(capture.capturedIdentity().empty());
    }

    ScriptedKeyboards keyboards;
    RecordingCaptureOwner owner;
    TriggerCapture capture{owner};
};

TEST_F(Capture, StartShowsThePromptAndAnEmptyKeyMap) {
    capture.start(true);
    EXPECT_TRUE(capture.isCapturing());
    EXPECT_TRUE(capture.capturesAnyKeyboard());
    EXPECT_EQ(owner.log.take(), (Calls{"started", std::string("text ") + kPrompt, "keys "}));
}

TEST_F(Capture, PressAndReleaseOfRightCtrlYieldsRightCtrlOnAnyKeyboard) {
    startAnyKeyboard();
    press(RC);
    EXPECT_EQ(owner.log.take(), (Calls{"text Right Ctrl", "keys Right Ctrl"}));
    EXPECT_TRUE(owner.finished.empty());

    release(RC);
    EXPECT_EQ(owner.log.take(), Calls{"finished Right Ctrl"});
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(owner.finished[0].keys, Keys{RC});
    EXPECT_TRUE(owner.finished[0].anyKeyboard);
    EXPECT_TRUE(owner.finished[0].deviceId.empty()) << "an any-keyboard trigger names no keyboard";
    expectIdleAndEmpty();
}

TEST_F(Capture, EveryModifierPressedUntilAllAreUpJoinsTheCombinationInAscendingOrder) {
    startAnyKeyboard();
    press(LC);
    press(LS);
    EXPECT_EQ(owner.log.take(),
              (Calls{"text Left Ctrl", "keys Left Ctrl", "text Left Shift + Left Ctrl",
                     "keys Left Shift, Left Ctrl"}));
    release(LS);
    EXPECT_EQ(owner.log.take(),
              (Calls{"text Left Shift + Left Ctrl", "keys Left Shift, Left Ctrl"}))
        << "a released key stays collected";
    EXPECT_EQ(capture.heldKeys(), ModifierKeySet::fromBits(0x04));
    press(RA);
    release(LC);
    release(RA);
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(owner.finished[0].keys, (Keys{LS, LC, RA}));
}

TEST_F(Capture, AutoRepeatPressesCollectTheKeyOnce) {
    startAnyKeyboard();
    for (int i = 0; i < 5; ++i) press(RC);
    EXPECT_EQ(capture.collectedKeys(), ModifierKeySet::fromBits(0x08));
    release(RC);
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(owner.finished[0].keys, Keys{RC});
}

TEST_F(Capture, AnyOtherKeyPressedCancelsAndTheOwnersTriggerReturns) {
    startAnyKeyboard();
    press(LC);
    owner.log.take();
    press(Letter);
    EXPECT_EQ(owner.log.take(), (Calls{"cancelled", "text Left Shift", "keys Left Shift"}));
    expectIdleAndEmpty();
    EXPECT_TRUE(owner.finished.empty());

    release(Letter);
    release(LC);
    EXPECT_EQ(owner.log.take(), Calls{}) << "events after the capture belong to no capture";
}

TEST_F(Capture, OtherKeyPressedBeforeAnyModifierCancelsToo) {
    startAnyKeyboard();
    press(Letter);
    EXPECT_FALSE(capture.isCapturing());
    EXPECT_EQ(owner.log.take(), (Calls{"cancelled", "text Left Shift", "keys Left Shift"}));
}

TEST_F(Capture, ReleaseOfAnotherKeyChangesNothing) {
    startAnyKeyboard();
    release(Letter);  // the Enter or Space that clicked the button comes up after the start
    press(RA);
    release(Letter);
    EXPECT_TRUE(capture.isCapturing());
    EXPECT_EQ(owner.log.take(), (Calls{"text Right Alt", "keys Right Alt"}));
    release(RA);
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(owner.finished[0].keys, Keys{RA});
}

TEST_F(Capture, ReleaseOfAKeyHeldBeforeTheStartRemovesNothingAndFinishesNothing) {
    startAnyKeyboard();
    release(LA);
    EXPECT_TRUE(capture.isCapturing()) << "nothing collected yet";
    EXPECT_EQ(owner.log.take(), (Calls{std::string("text ") + kPrompt, "keys "}));

    press(RC);
    release(LS);
    EXPECT_TRUE(capture.isCapturing()) << "Right Ctrl is still held";
    EXPECT_EQ(capture.heldKeys(), ModifierKeySet::fromBits(0x08));
    EXPECT_EQ(capture.collectedKeys(), ModifierKeySet::fromBits(0x08))
        << "an unseen key is not collected by its release";
    release(RC);
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(owner.finished[0].keys, Keys{RC});
}

TEST_F(Capture, KeysOfSeveralKeyboardsJoinOneCombinationHeldOverAllOfThem) {
    startAnyKeyboard();
    press(kKeyboardB, RC);
    press(kKeyboardA, RS);
    release(kKeyboardB, RC);
    EXPECT_TRUE(capture.isCapturing()) << "Right Shift is still held on A";
    release(kKeyboardA, RS);
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(triggerText(owner.finished[0]), u"Right Shift + Right Ctrl");
    EXPECT_TRUE(owner.finished[0].deviceId.empty());
}

TEST_F(Capture, OneKeyboardScopeTakesTheKeyboardOfTheFirstModifierPress) {
    startOneKeyboard();
    EXPECT_FALSE(capture.capturesAnyKeyboard());
    press(kKeyboardB, RC);
    EXPECT_EQ(owner.log.take(),
              (Calls{"text Right Ctrl | Keyboard: VID_1A2C&PID_0E24&MI_00", "keys Right Ctrl"}));
    press(kKeyboardA, RS);
    EXPECT_EQ(capture.capturedIdentity(), kIdentityB);
    release(kKeyboardA, RS);
    release(kKeyboardB, RC);

    ASSERT_EQ(owner.finished.size(), 1u);
    const TriggerDefinition& trigger = owner.finished[0];
    EXPECT_EQ(trigger.keys, (Keys{RS, RC}));
    EXPECT_FALSE(trigger.anyKeyboard);
    EXPECT_EQ(trigger.deviceId, kIdentityB);
    EXPECT_EQ(triggerText(trigger),
              u"Right Shift + Right Ctrl | Keyboard: VID_1A2C&PID_0E24&MI_00");
}

TEST_F(Capture, OneKeyboardScopeSkipsAFirstPressWithoutIdentity) {
    startOneKeyboard();
    capture.onKeyEvent(withoutIdentity(LC, true));
    EXPECT_EQ(owner.log.take(), (Calls{"text Left Ctrl | Keyboard: Specific", "keys Left Ctrl"}));
    EXPECT_TRUE(capture.capturedIdentity().empty());
    press(kKeyboardA, LS);
    EXPECT_EQ(capture.capturedIdentity(), kIdentityA);
    release(kKeyboardA, LS);
    capture.onKeyEvent(withoutIdentity(LC, false));
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(owner.finished[0].deviceId, kIdentityA);
}

TEST_F(Capture, OneKeyboardScopeWithoutAnyIdentityEndsOnAnUnnamedKeyboard) {
    startOneKeyboard();
    capture.onKeyEvent(withoutIdentity(RA, true));
    capture.onKeyEvent(withoutIdentity(RA, false));
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_FALSE(owner.finished[0].anyKeyboard);
    EXPECT_EQ(triggerText(owner.finished[0]), u"Right Alt | Keyboard: Specific");
}

TEST_F(Capture, StartingAgainBeginsAfreshWithTheNewScope) {
    startOneKeyboard();
    press(kKeyboardB, RC);
    owner.log.take();

    capture.start(false);
    EXPECT_EQ(owner.log.take(), (Calls{"started", std::string("text ") + kPrompt, "keys "}));
    EXPECT_TRUE(capture.collectedKeys().empty());
    EXPECT_TRUE(capture.heldKeys().empty());
    EXPECT_TRUE(capture.capturedIdentity().empty());

    release(kKeyboardB, RC);  // seen by the earlier capture only
    EXPECT_TRUE(capture.isCapturing());
    press(kKeyboardA, LA);
    release(kKeyboardA, LA);
    ASSERT_EQ(owner.finished.size(), 1u);
    EXPECT_EQ(owner.finished[0].keys, Keys{LA});
    EXPECT_EQ(owner.finished[0].deviceId, kIdentityA);

    capture.start(false);
    press(kKeyboardB, LS);
    capture.start(true);
    press(kKeyboardB, RS);
    release(kKeyboardB, RS);
    ASSERT_EQ(owner.finished.size(), 2u);
    EXPECT_TRUE(owner.finished[1].anyKeyboard);
    EXPECT_TRUE(owner.finished[1].deviceId.empty());
}

TEST_F(Capture, CancelEndsARunningCaptureAndDoesNothingWhileIdle) {
    capture.cancel();
    EXPECT_EQ(owner.log.take(), Calls{});

    startOneKeyboard();
    press(kKeyboardA, RC);
    owner.log.take();
    capture.cancel();
    EXPECT_EQ(owner.log.take(), (Calls{"cancelled", "text Left Shift", "keys Left Shift"}));
    expectIdleAndEmpty();
    release(kKeyboardA, RC);
    EXPECT_TRUE(owner.finished.empty());
}

TEST_F(Capture, CandidateFollowsTheCollectedKeysAndScope) {
    startOneKeyboard();
    EXPECT_FALSE(capture.candidate().isSet());
    press(kKeyboardB, RA);
    press(kKeyboardB, LS);
    const TriggerDefinition candidate = capture.candidate();
    EXPECT_EQ(candidate.keys, (Keys{LS, RA}));
    EXPECT_FALSE(candidate.anyKeyboard);
    EXPECT_EQ(candidate.deviceId, kIdentityB);
}

TEST_F(Capture, OutsideACaptureTheDisplayShowsTheOwnersTrigger) {
    owner.trigger = {};
    capture.refreshDisplay();
    EXPECT_EQ(owner.log.take(), (Calls{"text Not set", "keys "}));

    owner.trigger = onKeyboard({LS, RC}, kIdentityA);
    capture.refreshDisplay();
    EXPECT_EQ(owner.log.take(), (Calls{"text Left Shift + Right Ctrl | Keyboard: "
                                       "VID_046D&PID_C52B&MI_00",
                                       "keys Left Shift, Right Ctrl"}));
}

TEST_F(Capture, EventsWhileIdleAreIgnored) {
    press(RC);
    release(RC);
    press(Letter);
    EXPECT_EQ(owner.log.take(), Calls{});
    EXPECT_TRUE(owner.finished.empty());
}

}  // namespace
}  // namespace orvello::test
