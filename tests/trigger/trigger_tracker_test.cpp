// The tracker's state table on one keyboard: exact matching, release, letters, split and unified
// mode, reset and trigger replacement.
#include <gtest/gtest.h>

#include "tracker_fixture.h"

namespace orvello::test {
namespace {

using DictationTrigger = TrackerTest;

TEST_F(DictationTrigger, PressStartsAndReleaseStopsEvenWithAnotherModifierStillHeld) {
    setDictation({RC});
    press(RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_TRUE(tracker->isActive());
    EXPECT_FALSE(tracker->activeIsCommand());
    EXPECT_EQ(tracker->activeIdentity(), kIdentityA);

    press(LS);
    EXPECT_EQ(owner.take(), Calls{});
    EXPECT_TRUE(tracker->isActive());

    release(RC);
    EXPECT_EQ(owner.take(), Calls{"stop"});
    EXPECT_FALSE(tracker->isActive());
    EXPECT_TRUE(tracker->activeIdentity().empty());
    EXPECT_EQ(tracker->heldKeys().keysOn(kIdentityA), ModifierKeySet::fromBits(0x01));
}

TEST_F(DictationTrigger, ExtraModifierHeldFirstPreventsStartUntilItIsReleased) {
    setDictation({RC});
    press(LS);
    press(RC);
    EXPECT_EQ(owner.take(), Calls{});
    release(LS);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    release(RC);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(DictationTrigger, ExtraModifierPressedAndReleasedWhileActiveNeitherStopsNorRestarts) {
    setDictation({RC});
    press(RC);
    press(RA);
    release(RA);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    release(RC);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(DictationTrigger, AutoRepeatPressesStartOnlyOnce) {
    setDictation({RC});
    for (int i = 0; i < 20; ++i) press(RC);
    release(RC);
    EXPECT_EQ(owner.take(), (Calls{"start dictation", "stop"}));
}

TEST_F(DictationTrigger, LetterWhileHeldNeitherEndsNorRestartsNorTouchesTheDisplay) {
    setDictation({RC});
    press(RC);
    const int displayUpdates = keyMap.updates;
    press(Letter);
    release(Letter);
    press(Letter);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_TRUE(tracker->isActive());
    EXPECT_EQ(keyMap.updates, displayUpdates);
    release(RC);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(DictationTrigger, TwoKeyTriggerNeedsBothAndEndsWithEither) {
    setDictation({LC, LS});
    press(LC);
    EXPECT_EQ(owner.take(), Calls{});
    press(LS);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    release(LC);
    EXPECT_EQ(owner.take(), Calls{"stop"});
    // Left Shift alone is still held: pressing Left Ctrl again starts anew.
    press(LC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
}

TEST_F(DictationTrigger, ReleaseThatEndsTriggerStartsNothingOnTheSameEvent) {
    // Dictation Left Ctrl, command Left Ctrl + Left Shift: releasing Left Shift from the command
    // combination leaves exactly the dictation keys, but a stop never comes with a start.
    setDictation({LC});
    setCommand({LC, LS});
    press(LS);
    press(LC);
    EXPECT_EQ(owner.take(), Calls{"start command"});
    release(LS);
    EXPECT_EQ(owner.take(), Calls{"stop"});
    EXPECT_FALSE(tracker->isActive());
}

TEST_F(DictationTrigger, EmptyTriggersNeverStart) {
    for (ModifierKey k : {LS, RS, LC, RC, LA, RA}) press(k);
    for (ModifierKey k : {LS, RS, LC, RC, LA, RA}) release(k);
    press(RC);
    EXPECT_EQ(owner.take(), Calls{});
    EXPECT_FALSE(tracker->isSplitMode());
}

using SplitModeTriggers = TrackerTest;

TEST_F(SplitModeTriggers, AddingTheCommandKeyKeepsADictationRecording) {
    setDictation({RC});
    setCommand({RC, RA});
    ASSERT_TRUE(tracker->isSplitMode());
    press(RC);
    press(RA);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_FALSE(tracker->activeIsCommand());
    release(RA);
    release(RC);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(SplitModeTriggers, CommandTriggerStartsWhenHeldExactlyWhileIdle) {
    setDictation({RC});
    setCommand({RC, RA});
    press(RA);
    press(RC);
    EXPECT_EQ(owner.take(), Calls{"start command"});
    EXPECT_TRUE(tracker->activeIsCommand());
    // Releasing Right Alt ends the command trigger; the remaining Right Ctrl starts nothing.
    release(RA);
    EXPECT_EQ(owner.take(), Calls{"stop"});
    EXPECT_FALSE(tracker->activeIsCommand());
    release(RC);
    press(RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
}

TEST_F(SplitModeTriggers, CommandTriggerWorksWithoutADictationTrigger) {
    setCommand({LA, LS});
    press(LS);
    press(LA);
    EXPECT_EQ(owner.take(), Calls{"start command"});
}

TEST_F(SplitModeTriggers, CommandTriggerEqualToDictationTriggerIsUnifiedMode) {
    setDictation({RC});
    setCommand({RC});
    EXPECT_FALSE(tracker->isSplitMode());
    press(RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_FALSE(tracker->activeIsCommand());
}

using TrackerReset = TrackerTest;

TEST_F(TrackerReset, StopsAnActiveTriggerAndForgetsHeldKeys) {
    setDictation({RC});
    press(RC);
    owner.take();
    tracker->reset();
    EXPECT_EQ(owner.take(), Calls{"stop"});
    EXPECT_FALSE(tracker->isActive());
    EXPECT_EQ(tracker->heldKeys().keyboardCount(), 0u);
    // The release of the key held across the reset is ignored; its next press counts again.
    release(RC);
    EXPECT_EQ(owner.take(), Calls{});
    press(RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
}

TEST_F(TrackerReset, IdleResetIssuesNoStopButForgetsBlockingModifiers) {
    setDictation({RC});
    press(LS);  // held while, say, a dialog was open; its release is never seen
    tracker->reset();
    EXPECT_EQ(owner.take(), Calls{});
    press(RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
}

TEST_F(TrackerReset, ResetWithoutStopRequestClearsSilently) {
    setDictation({RC});
    press(RC);
    owner.take();
    tracker->resetWithoutStopRequest();
    EXPECT_EQ(owner.take(), Calls{});
    EXPECT_FALSE(tracker->isActive());
    EXPECT_EQ(tracker->heldKeys().keyboardCount(), 0u);
}

using TriggerReplacement = TrackerTest;

TEST_F(TriggerReplacement, RunningRecordingEndsAtTheNextModifierEventIfNewTriggerIsNotHeld) {
    setDictation({RC});
    press(RC);
    owner.take();
    setDictation({LC});
    press(Letter);
    EXPECT_EQ(owner.take(), Calls{});
    press(LS);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(TriggerReplacement, ClearedActiveTriggerEndsAtTheNextModifierEvent) {
    setDictation({RC});
    press(RC);
    owner.take();
    setDictation({});
    press(LS);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

}  // namespace
}  // namespace orvello::test
