// The tracker with several keyboards: per-keyboard matching, keyboard-bound triggers, keyboard
// removal, the start-up keyboard check, the keyboard-scope switch and the live key display.
#include <gtest/gtest.h>

#include "tracker_fixture.h"

namespace orvello::test {
namespace {

using MultipleKeyboards = TrackerTest;

TEST_F(MultipleKeyboards, KeysOnDifferentKeyboardsAreNeverCombined) {
    setDictation({LC, LS});
    press(kKeyboardA, LC);
    press(kKeyboardB, LS);
    EXPECT_EQ(owner.take(), Calls{});
    release(kKeyboardB, LS);
    press(kKeyboardA, LS);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
}

TEST_F(MultipleKeyboards, ModifierOnAnotherKeyboardDoesNotBlockAMatch) {
    setDictation({RC});
    press(kKeyboardB, LS);
    press(kKeyboardA, RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_EQ(tracker->activeIdentity(), kIdentityA);
}

TEST_F(MultipleKeyboards, OnlyTheActivatingKeyboardCanEndTheTrigger) {
    setDictation({RC});
    press(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_EQ(tracker->activeIdentity(), kIdentityB);
    press(kKeyboardA, RC);
    release(kKeyboardA, RC);
    EXPECT_EQ(owner.take(), Calls{});
    release(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(MultipleKeyboards, WhenTwoKeyboardsHoldTheTriggerTheFirstIdentityActivates) {
    setDictation({RC});
    press(kKeyboardB, RC);  // active on B
    press(kKeyboardA, RC);  // A holds the trigger too
    release(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), (Calls{"start dictation", "stop"}));
    press(kKeyboardB, RC);  // now both keyboards hold exactly the trigger; A sorts first
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_EQ(tracker->activeIdentity(), kIdentityA);
    release(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), Calls{});
    release(kKeyboardA, RC);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(MultipleKeyboards, DictationWinsWhenBothTriggersMatchOnOneEvent) {
    setDictation({RC});
    setCommand({RC, LS});
    press(kKeyboardA, RC);  // dictation active on A
    press(kKeyboardB, LS);
    press(kKeyboardB, RC);  // B holds the command trigger meanwhile
    release(kKeyboardA, RC);
    EXPECT_EQ(owner.take(), (Calls{"start dictation", "stop"}));
    press(kKeyboardA, RC);  // dictation on A and command on B both match now
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_FALSE(tracker->activeIsCommand());
    EXPECT_EQ(tracker->activeIdentity(), kIdentityA);
}

TEST_F(MultipleKeyboards, ReleaseOnAKeyboardThatHoldsNothingLeavesNothingHeld) {
    // Left Shift was already down on B before anything was seen from B.
    setDictation({RC});
    release(kKeyboardB, LS);
    EXPECT_EQ(tracker->heldKeys().keyboardCount(), 0u);
    press(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
}

using SpecificKeyboard = TrackerTest;

TEST_F(SpecificKeyboard, SameKeysOnAnotherKeyboardDoNothing) {
    setDictationOn({RC}, kIdentityB);
    press(kKeyboardA, RC);
    release(kKeyboardA, RC);
    EXPECT_EQ(owner.take(), Calls{});
    press(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_EQ(tracker->activeIdentity(), kIdentityB);
}

TEST_F(SpecificKeyboard, KeysOnOtherKeyboardsDoNotDisturbTheMatch) {
    setDictationOn({RC, RS}, kIdentityB);
    press(kKeyboardA, LC);
    press(kKeyboardA, RC);
    press(kKeyboardB, RS);
    press(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    release(kKeyboardA, RC);
    release(kKeyboardA, LC);
    EXPECT_EQ(owner.take(), Calls{});
    release(kKeyboardB, RS);
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(SpecificKeyboard, ExtraModifierOnTheTriggerKeyboardPreventsTheMatch) {
    setDictationOn({RC}, kIdentityB);
    press(kKeyboardB, LA);
    press(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), Calls{});
}

TEST_F(SpecificKeyboard, KeyboardsOfTheSameModelShareTheTrigger) {
    // A second keyboard of the same model and interface reports the same identity.
    fake->addKeyboard(0x11, u"\\\\?\\HID#VID_046D&PID_C52B&MI_00#9&3b&0&0001#{884b96c3}");
    setDictationOn({RC}, kIdentityA);
    press(0x11, RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    release(kKeyboardA, RC);  // the twin's release counts as the same keyboard
    EXPECT_EQ(owner.take(), Calls{"stop"});
}

TEST_F(SpecificKeyboard, SplitModeWithCommandTriggerOnAnotherKeyboard) {
    setDictationOn({RC}, kIdentityA);
    setCommandOn({RC}, kIdentityB);
    ASSERT_TRUE(tracker->isSplitMode());
    press(kKeyboardB, RC);
    EXPECT_EQ(owner.take(), Calls{"start command"});
    release(kKeyboardB, RC);
    press(kKeyboardA, RC);
    EXPECT_EQ(owner.take(), (Calls{"stop", "start dictation"}));
}

using KeyboardRemoval = TrackerTest;

TEST_F(KeyboardRemoval, RemovingTheActivatingKeyboardStopsAndDropsItsKeys) {
    setDictation({RC});
    press(kKeyboardA, LS);
    press(kKeyboardB, RC);
    owner.take();
    fake->unplug(kKeyboardB);
    tracker->onKeyboardRemoved(kKeyboardB);
    EXPECT_EQ(owner.take(), Calls{"stop"});
    EXPECT_FALSE(tracker->isActive());
    EXPECT_FALSE(tracker->heldKeys().holdsKeys(kIdentityB));
    EXPECT_TRUE(tracker->heldKeys().holdsKeys(kIdentityA));
}

TEST_F(KeyboardRemoval, RemovingAnotherKeyboardKeepsTheRecordingAndPrunesThatKeyboard) {
    setDictation({RC});
    press(kKeyboardA, LS);
    press(kKeyboardB, RC);
    owner.take();
    fake->unplug(kKeyboardA);
    tracker->onKeyboardRemoved(kKeyboardA);
    EXPECT_EQ(owner.take(), Calls{});
    EXPECT_TRUE(tracker->isActive());
    EXPECT_EQ(tracker->heldKeys().keyboardCount(), 1u);
}

// A root-enumerated keyboard (a remote desktop's) is left out of the list shown to the user but
// is still attached: a trigger bound to it survives the removal of another device.
TEST_F(KeyboardRemoval, TriggerOnARootEnumeratedKeyboardSurvivesAnotherRemoval) {
    constexpr DeviceHandle kRootKeyboard = 0x30;
    fake->addKeyboard(kRootKeyboard, u"\\\\?\\Root#RDP_KBD#0000#{884b96c3}");
    setDictationOn({RC}, u"\\\\?\\Root#RDP_KBD");
    press(kRootKeyboard, RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    fake->unplug(kKeyboardB);
    tracker->onKeyboardRemoved(kKeyboardB);
    EXPECT_EQ(owner.take(), Calls{});
    EXPECT_TRUE(tracker->isActive());
}

// A list that could not be read (a device arrived meanwhile) tells nothing about what is gone.
TEST_F(KeyboardRemoval, UnreadableDeviceListPrunesNothing) {
    setDictation({RC});
    press(kKeyboardA, RC);
    owner.take();
    fake->listFails = true;
    fake->unplug(kKeyboardB);
    tracker->onKeyboardRemoved(kKeyboardB);
    EXPECT_EQ(owner.take(), Calls{});
    EXPECT_TRUE(tracker->heldKeys().holdsKeys(kIdentityA));
}

TEST_F(KeyboardRemoval, RemovedHandleIsForgottenByTheReader) {
    setDictation({RC});
    press(kKeyboardB, RC);
    const int readsBefore = fake->nameReads;
    fake->unplug(kKeyboardB);
    tracker->onKeyboardRemoved(kKeyboardB);
    // The handle comes back for a different keyboard: its new name is read, not the cached one.
    fake->addKeyboard(kKeyboardB, kNameA);
    const auto event = reader->decode(fake->queueRecord(recordFor(kKeyboardB, RC, true)));
    ASSERT_TRUE(event);
    EXPECT_EQ(event->deviceIdentity, kIdentityA);
    EXPECT_GT(fake->nameReads, readsBefore);
}

TEST_F(KeyboardRemoval, TwinOfTheActivatingKeyboardKeepsItsIdentityAlive) {
    fake->addKeyboard(0x11, u"\\\\?\\HID#VID_046D&PID_C52B&MI_00#9&3b&0&0001#{884b96c3}");
    setDictation({RC});
    press(kKeyboardA, RC);
    owner.take();
    fake->unplug(kKeyboardA);
    tracker->onKeyboardRemoved(kKeyboardA);
    EXPECT_EQ(owner.take(), Calls{});
    EXPECT_TRUE(tracker->isActive());
}

TEST_F(KeyboardRemoval, KeyboardsGoneUnnoticedAreDroppedAtTheNextRemoval) {
    setDictation({RC});
    press(kKeyboardA, RC);
    press(kKeyboardB, LS);
    owner.take();
    fake->unplug(kKeyboardA);  // no removal notice for A
    fake->unplug(kKeyboardB);
    tracker->onKeyboardRemoved(kKeyboardB);
    EXPECT_EQ(owner.take(), Calls{"stop"});
    EXPECT_EQ(tracker->heldKeys().keyboardCount(), 0u);
}

TEST_F(KeyboardRemoval, IdentitiesDifferingOnlyInTheInterfaceAreDifferentKeyboards) {
    // One receiver with two keyboard interfaces, MI_00 (keyboard A) and MI_01.
    constexpr DeviceHandle kSecondInterface = 0x12;
    const std::u16string secondInterfaceIdentity = u"\\\\?\\HID#VID_046D&PID_C52B&MI_01";
    fake->addKeyboard(kSecondInterface, secondInterfaceIdentity + u"#9&3b&0&0001#{884b96c3}");
    press(kSecondInterface, LS);
    press(kKeyboardA, LS);
    fake->unplug(kSecondInterface);
    tracker->onKeyboardRemoved(kSecondInterface);
    EXPECT_FALSE(tracker->heldKeys().holdsKeys(secondInterfaceIdentity));
    EXPECT_TRUE(tracker->heldKeys().holdsKeys(kIdentityA));
}

using StartupCheck = TrackerTest;

TEST_F(StartupCheck, AnyKeyboardTriggersNeedNoKeyboardList) {
    setDictation({RC});
    setCommand({RC, RA});
    tracker->checkTriggerKeyboards();
    EXPECT_EQ(fake->listCalls, 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupCheck, ConnectedTriggerKeyboardsRaiseNoMessage) {
    setDictationOn({RC}, kIdentityA);
    setCommandOn({RC}, kIdentityB);
    tracker->checkTriggerKeyboards();
    EXPECT_EQ(fake->listCalls, 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupCheck, EachMissingKeyboardIsReportedWithItsFullIdentity) {
    const std::u16string goneDictation = u"\\\\?\\HID#VID_9999&PID_0001&MI_00";
    const std::u16string goneCommand = u"\\\\?\\HID#VID_9999&PID_0002&MI_01";
    setDictationOn({RC}, goneDictation);
    setCommandOn({RC, RA}, goneCommand);
    tracker->checkTriggerKeyboards();
    EXPECT_EQ(fake->listCalls, 1);
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].first, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[0].second, u"The trigger keyboard is not currently connected:\n" +
                                            goneDictation +
                                            u"\n\nPlug it in or select a new trigger.");
    EXPECT_EQ(messages.shown[1].first, MessageIcon::Exclamation);
    EXPECT_EQ(messages.shown[1].second,
              u"The command trigger keyboard is not currently connected:\n" + goneCommand +
                  u"\n\nPlug it in or select a new command trigger in the Commands dialog.");
}

TEST_F(StartupCheck, CommandKeyboardIsCheckedOnlyInSplitModeAndWhenItDiffers) {
    const std::u16string gone = u"\\\\?\\HID#VID_9999&PID_0001&MI_00";
    // Same keyboard as the dictation trigger: one message, not two.
    setDictationOn({RC}, gone);
    setCommandOn({RC, RA}, gone);
    tracker->checkTriggerKeyboards();
    EXPECT_EQ(messages.shown.size(), 1u);

    // Unified mode because the command trigger is unset: its stale keyboard is not checked.
    messages.shown.clear();
    setDictationOn({RC}, kIdentityA);
    setCommandOn({}, gone);
    tracker->checkTriggerKeyboards();
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupCheck, KeyboardBoundTriggerWithoutDeviceIdIsNotChecked) {
    setDictationOn({RC}, u"");
    tracker->checkTriggerKeyboards();
    EXPECT_EQ(fake->listCalls, 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StartupCheck, RootKeyboardIsNeverFoundConnected) {
    fake->addKeyboard(0x50, u"\\\\?\\Root#RDP_KBD#0000#{884b96c3}");
    setDictationOn({RC}, u"\\\\?\\Root#RDP_KBD");
    tracker->checkTriggerKeyboards();
    EXPECT_EQ(messages.shown.size(), 1u);
}

using KeyboardScope = TrackerTest;

TEST_F(KeyboardScope, SwitchToSpecificClearsBothTriggersThenSavesAndTells) {
    setDictation({RC});
    setCommand({RC, RA});
    tracker->setKeyboardScope(false);
    for (const TriggerDefinition* trigger :
         {&tracker->dictationTrigger(), &tracker->commandTrigger()}) {
        EXPECT_FALSE(trigger->isSet());
        EXPECT_FALSE(trigger->anyKeyboard);
        EXPECT_TRUE(trigger->deviceId.empty());
    }
    EXPECT_EQ(owner.take(), (Calls{"cancel capture", "refresh", "save", "refresh"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].first, MessageIcon::Information);
    EXPECT_EQ(
        messages.shown[0].second,
        u"Keyboard scope changed to: specific keyboard.\n\nBoth trigger keys have been cleared.\n"
        u"Please set a new Trigger Key here, and a new Command Trigger Key in the Commands "
        u"dialog.");
}

TEST_F(KeyboardScope, SwitchToAnyKeyboardClearsDeviceIds) {
    setDictationOn({RC}, kIdentityA);
    setCommandOn({RC, RA}, kIdentityB);
    tracker->setKeyboardScope(true);
    EXPECT_TRUE(tracker->dictationTrigger().anyKeyboard);
    EXPECT_TRUE(tracker->commandTrigger().anyKeyboard);
    EXPECT_TRUE(tracker->dictationTrigger().deviceId.empty());
    EXPECT_TRUE(tracker->commandTrigger().deviceId.empty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].second,
              u"Keyboard scope changed to: any keyboard.\n\nBoth trigger keys have been cleared.\n"
              u"Please set a new Trigger Key here, and a new Command Trigger Key in the Commands "
              u"dialog.");
}

TEST_F(KeyboardScope, ClearedTriggersNoLongerStartAnything) {
    setDictation({RC});
    tracker->setKeyboardScope(true);
    owner.take();
    press(RC);
    EXPECT_EQ(owner.take(), Calls{});
}

using LiveKeyDisplay = TrackerTest;

TEST_F(LiveKeyDisplay, ListsHeldKeysKeyboardByKeyboardInIdentityOrder) {
    press(kKeyboardB, RA);
    press(kKeyboardB, LS);
    press(kKeyboardA, RC);
    press(kKeyboardA, LS);
    EXPECT_EQ(keyMap.pressed, (Keys{LS, RC, LS, RA}));
    release(kKeyboardB, LS);
    EXPECT_EQ(keyMap.pressed, (Keys{LS, RC, RA}));
    release(kKeyboardA, LS);
    release(kKeyboardA, RC);
    release(kKeyboardB, RA);
    EXPECT_EQ(keyMap.pressed, Keys{});
    EXPECT_EQ(keyMap.updates, 8);
}

TEST_F(LiveKeyDisplay, ForgetsTheKeysOfARemovedKeyboardAndAfterAReset) {
    press(kKeyboardA, RC);
    press(kKeyboardB, RA);
    fake->unplug(kKeyboardB);
    tracker->onKeyboardRemoved(kKeyboardB);
    EXPECT_EQ(keyMap.pressed, Keys{RC});
    tracker->reset();
    EXPECT_EQ(keyMap.pressed, Keys{});
    press(kKeyboardA, LS);
    tracker->resetWithoutStopRequest();
    EXPECT_EQ(keyMap.pressed, Keys{});
}

TEST_F(LiveKeyDisplay, TrackerWorksWithoutADisplay) {
    tracker->setKeyMapDisplay(nullptr);
    setDictation({RC});
    press(RC);
    EXPECT_EQ(owner.take(), Calls{"start dictation"});
    EXPECT_EQ(keyMap.updates, 0);
}

}  // namespace
}  // namespace orvello::test
