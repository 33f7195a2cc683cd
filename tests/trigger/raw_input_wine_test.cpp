// The trigger path on real Raw Input: keys pressed on Wine's virtual keyboard (XTest through
// xdotool) reach a registered window as WM_INPUT, are decoded by the reader over the Windows
// source and drive the trigger tracker.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "raw_input_test_window.h"
#include "tests/support/desktop.h"
#include "tests/support/unix_command.h"
#include "tests/support/xdotool_key_script.h"
#include "trigger/device_identity.h"
#include "trigger/raw_input_source_win.h"

namespace orvello::test {
namespace {

// Wine's keyboard: \\?\HID#VID_845E&PID_0002#<instance>#{interface class}.
const std::u16string kWineKeyboardIdentity = u"\\\\?\\HID#VID_845E&PID_0002";
const std::u16string kWineKeyboardDisplayName = u"VID_845E&PID_0002";

constexpr auto LS = ModifierKey::LeftShift;
constexpr auto RS = ModifierKey::RightShift;
constexpr auto LC = ModifierKey::LeftCtrl;
constexpr auto RC = ModifierKey::RightCtrl;
constexpr auto LA = ModifierKey::LeftAlt;
constexpr auto RA = ModifierKey::RightAlt;
constexpr auto Letter = ModifierKey::Generic;
constexpr bool kDown = true, kUp = false;
constexpr bool kActive = true, kIdle = false;

using namespace keycode;

// What the tracker saw: each key with press or release, and whether a trigger was held after it.
struct Step {
    ModifierKey key;
    bool isDown;
    bool activeAfter;
    friend bool operator==(const Step&, const Step&) = default;
};

void PrintTo(const Step& step, std::ostream* os) {
    PrintTo(step.key, os);
    *os << (step.isDown ? " down" : " up") << (step.activeAfter ? " -> active" : " -> idle");
}

std::vector<Step> stepsOf(const std::vector<SeenKey>& keys) {
    std::vector<Step> steps;
    for (const SeenKey& key : keys) steps.push_back({key.key, key.isDown, key.trackerActiveAfter});
    return steps;
}

std::string narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

// Shows a measured figure in the output and in the test's XML report.
void reportMedian(const std::string& name, std::vector<double> values) {
    if (values.empty()) return;
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    const long median = static_cast<long>(values[values.size() / 2]);
    ::testing::Test::RecordProperty(name, std::to_string(median));
    std::printf("%s: %ld\n", name.c_str(), median);
}

// Presses keys on the virtual keyboard and waits until the window has decoded `count` events,
// then a little longer so that unexpected extra events are seen too.
[[nodiscard]] bool sendKeysAndWait(RawInputTestWindow& window, const std::string& keys,
                                   std::size_t count, DWORD timeoutMs = 3000) {
    if (RunUnixCommand("xdotool" + keys) != 0) return false;
    const bool arrived = pumpUntil([&] { return window.seenKeys().size() >= count; }, timeoutMs);
    pumpUntil([] { return false; }, 100);
    return arrived;
}

// The shared window, registered for keyboards, with the focus and a fresh trigger path.
class WinesKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        window.startFresh();
        ASSERT_TRUE(window.registerForKeyboards());
        if (GetForegroundWindow() != window.hwnd()) {
            ASSERT_TRUE(ShowAndFocus(window.hwnd()));
        }
        window.clearSeenKeys();
    }

    void setDictation(std::vector<ModifierKey> keys) {
        window.tracker().setDictationTrigger({std::move(keys), true, {}});
    }

    RawInputTestWindow& window = sharedTestWindow();
};

TEST(RawInputRegistration, RegistersAWindowForKeyboardsInTheBackgroundWithDeviceNotices) {
    RawInputTestWindow window(L"Orvello registration");
    EXPECT_FALSE(window.reader().registerWindow(0)) << "no window";
    HWND gone =
        CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    EXPECT_FALSE(window.reader().registerWindow(toWindowHandle(gone))) << "a destroyed window";

    ASSERT_TRUE(window.registerForKeyboards());
    RAWINPUTDEVICE registered[4];
    UINT capacity = 4;
    ASSERT_EQ(GetRegisteredRawInputDevices(registered, &capacity, sizeof(RAWINPUTDEVICE)), 1u);
    EXPECT_EQ(registered[0].usUsagePage, 1);
    EXPECT_EQ(registered[0].usUsage, 6);
    EXPECT_EQ(registered[0].dwFlags, 0x2100u) << "RIDEV_INPUTSINK | RIDEV_DEVNOTIFY";
    EXPECT_EQ(registered[0].hwndTarget, window.hwnd());

    ASSERT_TRUE(removeKeyboardRegistration());
    capacity = 4;
    EXPECT_EQ(GetRegisteredRawInputDevices(registered, &capacity, sizeof(RAWINPUTDEVICE)), 0u);
}

TEST(RawInputFailures, UnreadableInputAndUnknownDevicesYieldNothing) {
    RawInputTestWindow window(L"Orvello failures");
    EXPECT_FALSE(window.reader().decode(0));
    EXPECT_FALSE(window.reader().decode(0x7ff0'1234));
    std::u16string name = u"unchanged";
    EXPECT_FALSE(window.reader().deviceName(0x7ff0'5678, name));
    EXPECT_EQ(window.reader().cachedDeviceCount(), 0u);
}

TEST_F(WinesKeyboard, EnumerationListsWinesKeyboardUnderTheHandleItsKeysCarry) {
    const std::vector<KeyboardDeviceInfo> keyboards = window.reader().enumerate();
    const auto wine = std::find_if(
        keyboards.begin(), keyboards.end(),
        [](const KeyboardDeviceInfo& k) { return k.deviceIdentity == kWineKeyboardIdentity; });
    ASSERT_NE(wine, keyboards.end()) << "keyboards listed: " << keyboards.size();
    EXPECT_EQ(wine->deviceName.find(u'\0'), std::u16string::npos);
    EXPECT_EQ(wine->deviceName.substr(0, kWineKeyboardIdentity.size() + 1),
              kWineKeyboardIdentity + u'#')
        << narrow(wine->deviceName);
    EXPECT_EQ(deviceDisplayName(wine->deviceIdentity), kWineKeyboardDisplayName);

    ASSERT_TRUE(sendKeysAndWait(window, tap(kLeftShift), 2));
    EXPECT_EQ(window.seenKeys().front().device, wine->device);
}

TEST_F(WinesKeyboard, ModifiersAndALetterDecodeWithSideDirectionAndKeyboardIdentity) {
    const std::string keys = tap(kRightCtrl) + tap(kLeftCtrl) + tap(kRightAlt) + tap(kLeftAlt) +
                             tap(kLeftShift) + tap(kRightShift) + tap(kLetterA);
    ASSERT_TRUE(sendKeysAndWait(window, keys, 14));

    const std::vector<SeenKey>& seen = window.seenKeys();
    ASSERT_EQ(seen.size(), 14u);
    const ModifierKey expected[] = {RC, LC, RA, LA, LS, RS, Letter};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE("event " + std::to_string(i));
        EXPECT_EQ(seen[i].key, expected[i / 2]);
        EXPECT_EQ(seen[i].isDown, i % 2 == 0);
        EXPECT_EQ(seen[i].deviceIdentity, kWineKeyboardIdentity) << narrow(seen[i].deviceName);
        EXPECT_EQ(seen[i].device, seen[0].device);
        EXPECT_FALSE(seen[i].arrivedInBackground);
    }
    EXPECT_EQ(window.undecodedInputs(), 0);
    EXPECT_EQ(window.reader().cachedDeviceCount(), 1u);
}

TEST_F(WinesKeyboard, KeystrokesOfAKnownKeyboardAllocateNothing) {
    setDictation({RC});
    // The first dictation caches the keyboard's name, sizes the record buffer, makes the
    // keyboard's held-keys slot and the active identity; after that the same dictation, with
    // letters and stray modifiers around it, runs without touching the heap.
    const std::string dictation =
        tap(kLeftShift) + down(kRightCtrl) + tap(kLetterA) + up(kRightCtrl) + tap(kRightAlt);
    ASSERT_TRUE(sendKeysAndWait(window, dictation + dictation, 16));
    EXPECT_GT(window.seenKeys().front().heapAllocations, 0);
    std::vector<double> warmNanoseconds;
    for (std::size_t i = 8; i < window.seenKeys().size(); ++i) {
        EXPECT_EQ(window.seenKeys()[i].heapAllocations, 0) << "event " << i;
        warmNanoseconds.push_back(window.seenKeys()[i].handlingNanoseconds);
    }
    reportMedian("warm_keystroke_ns_median", warmNanoseconds);
    EXPECT_EQ(window.takeOwnerCalls(),
              (std::vector<std::string>{"start dictation", "stop", "start dictation", "stop"}));
}

TEST_F(WinesKeyboard, DictationTriggerFollowsTheHeldKeys) {
    setDictation({RC});
    const std::string keys =
        // Right Ctrl starts; Left Shift added meanwhile changes nothing; releasing Right Ctrl
        // stops although Left Shift is still held.
        down(kRightCtrl) + down(kLeftShift) + up(kRightCtrl) + up(kLeftShift) +
        // Left Shift held first: the keyboard holds two keys, so Right Ctrl does not start until
        // Left Shift goes up.
        down(kLeftShift) + down(kRightCtrl) + up(kLeftShift) +
        // A letter while the trigger is held neither ends nor restarts it.
        tap(kLetterA) + up(kRightCtrl);
    ASSERT_TRUE(sendKeysAndWait(window, keys, 10));

    const std::vector<Step> expected = {
        {RC, kDown, kActive},   {LS, kDown, kActive}, {RC, kUp, kIdle},   {LS, kUp, kIdle},
        {LS, kDown, kIdle},     {RC, kDown, kIdle},   {LS, kUp, kActive}, {Letter, kDown, kActive},
        {Letter, kUp, kActive}, {RC, kUp, kIdle},
    };
    EXPECT_EQ(stepsOf(window.seenKeys()), expected);
    EXPECT_EQ(window.takeOwnerCalls(),
              (std::vector<std::string>{"start dictation", "stop", "start dictation", "stop"}));
}

TEST_F(WinesKeyboard, CommandTriggerStartsOnlyFromIdleWithExactlyItsKeys) {
    setDictation({RC});
    window.tracker().setCommandTrigger({{RC, RA}, true, {}});
    const std::string keys =
        // Right Alt first, then Right Ctrl: exactly the command trigger's keys.
        down(kRightAlt) + down(kRightCtrl) + up(kRightCtrl) + up(kRightAlt) +
        // Right Ctrl first starts a dictation; adding Right Alt keeps it one.
        down(kRightCtrl) + down(kRightAlt) + up(kRightAlt) + up(kRightCtrl);
    ASSERT_TRUE(sendKeysAndWait(window, keys, 8));

    const std::vector<Step> expected = {
        {RA, kDown, kIdle},   {RC, kDown, kActive}, {RC, kUp, kIdle},   {RA, kUp, kIdle},
        {RC, kDown, kActive}, {RA, kDown, kActive}, {RA, kUp, kActive}, {RC, kUp, kIdle},
    };
    EXPECT_EQ(stepsOf(window.seenKeys()), expected);
    EXPECT_EQ(window.takeOwnerCalls(),
              (std::vector<std::string>{"start command", "stop", "start dictation", "stop"}));
}

TEST_F(WinesKeyboard, KeyboardBoundTriggerMatchesOnlyItsOwnKeyboard) {
    window.tracker().setDictationTrigger({{LC, RS}, false, kWineKeyboardIdentity});
    ASSERT_TRUE(sendKeysAndWait(
        window, down(kLeftCtrl) + down(kRightShift) + up(kLeftCtrl) + up(kRightShift), 4));
    EXPECT_EQ(window.takeOwnerCalls(), (std::vector<std::string>{"start dictation", "stop"}));

    window.clearSeenKeys();
    window.tracker().setDictationTrigger({{LC, RS}, false, kIdentityA});
    ASSERT_TRUE(sendKeysAndWait(
        window, down(kLeftCtrl) + down(kRightShift) + up(kLeftCtrl) + up(kRightShift), 4));
    EXPECT_TRUE(window.takeOwnerCalls().empty()) << "another keyboard's trigger started";
}

TEST(RawInputSink, TheRegisteredWindowHearsKeysWhileAnotherProgramHasTheFocus) {
    RawInputTestWindow& registered = sharedTestWindow();
    registered.startFresh();
    registered.tracker().setDictationTrigger({{RC}, true, {}});
    ForegroundHelperProcess helper;
    const HWND foreground = helper.hwnd();
    ASSERT_NE(foreground, nullptr) << "the foreground helper did not start";
    ASSERT_TRUE(ShowAndFocus(foreground));

    // Without RIDEV_INPUTSINK a window hears nothing while it is in the background.
    const RAWINPUTDEVICE foregroundOnly{1, 6, 0, registered.hwnd()};
    ASSERT_TRUE(RegisterRawInputDevices(&foregroundOnly, 1, sizeof(RAWINPUTDEVICE)));
    EXPECT_FALSE(sendKeysAndWait(registered, tap(kLeftShift), 1, 400));

    ASSERT_TRUE(registered.registerForKeyboards());
    ASSERT_TRUE(sendKeysAndWait(registered, down(kRightCtrl) + tap(kLetterA) + up(kRightCtrl), 4));
    EXPECT_EQ(GetForegroundWindow(), foreground);
    const std::vector<Step> expected = {
        {RC, kDown, kActive}, {Letter, kDown, kActive}, {Letter, kUp, kActive}, {RC, kUp, kIdle}};
    EXPECT_EQ(stepsOf(registered.seenKeys()), expected);
    for (const SeenKey& key : registered.seenKeys()) {
        EXPECT_TRUE(key.arrivedInBackground);
        EXPECT_EQ(key.deviceIdentity, kWineKeyboardIdentity);
    }
    EXPECT_EQ(registered.takeOwnerCalls(), (std::vector<std::string>{"start dictation", "stop"}));
}

TEST(RawInputSink, TheLastRegistrationWinsAndRemovalEndsDelivery) {
    RawInputTestWindow& first = sharedTestWindow();
    first.startFresh();
    RawInputTestWindow second(L"Orvello second, never shown");
    if (GetForegroundWindow() != first.hwnd()) {
        ASSERT_TRUE(ShowAndFocus(first.hwnd()));
    }
    ASSERT_TRUE(first.registerForKeyboards());
    ASSERT_TRUE(second.registerForKeyboards());

    ASSERT_TRUE(sendKeysAndWait(second, tap(kLeftShift), 2));
    EXPECT_TRUE(first.seenKeys().empty());

    ASSERT_TRUE(removeKeyboardRegistration());
    second.clearSeenKeys();
    EXPECT_FALSE(sendKeysAndWait(second, tap(kLeftShift), 1, 400));
    EXPECT_TRUE(first.seenKeys().empty());

    ASSERT_TRUE(first.registerForKeyboards());
    ASSERT_TRUE(sendKeysAndWait(first, tap(kLeftShift), 2));
    EXPECT_TRUE(second.seenKeys().empty());
}

}  // namespace
}  // namespace orvello::test
