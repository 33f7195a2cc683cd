// Key chords, key sequences and media keys as a focused window sees them, and the key names
// of Wine's keyboard layout.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "output/key_step_events.h"
#include "output/output_win.h"
#include "tests/output/wine_output_support.h"
#include "tests/support/window_capture.h"

namespace orvello::test {
namespace {

// Waits until `count` key messages have arrived, then a little longer for strays.
void WaitForKeys(KeyRecordingWindow& window, std::size_t count) {
    (void)WaitUntil([&] { return window.keys.size() >= count; });
    PumpMessages(150);
}

TEST(KeyStepsInAWindow, ChordPressesModifiersThenKeyAndReleasesInMirrorOrder) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    ASSERT_TRUE(SendKeyStep(KeyStep{.ctrl = true, .shift = true, .vk = 'S'}));
    WaitForKeys(window, 6);
    const std::vector<KeyMessage> expected = {Pressed(VK_CONTROL), Pressed(VK_SHIFT),
                                              Pressed('S'),        Released('S'),
                                              Released(VK_SHIFT),  Released(VK_CONTROL)};
    EXPECT_EQ(window.keys, expected);
}

TEST(KeyStepsInAWindow, SequenceSendsEveryStepInOrder) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    const std::vector<KeyStep> steps = {
        {.alt = true, .vk = VK_LEFT},
        {.ctrl = true},  // empty: nothing, and no failure
        {.win = true, .vk = 'E'},
        {.ctrl = true, .alt = true, .shift = true, .win = true, .vk = VK_F5},
    };
    ASSERT_TRUE(SendKeySteps(steps));
    WaitForKeys(window, 18);
    const std::vector<KeyMessage> expected = {
        Pressed(VK_MENU),    Pressed(VK_LEFT),    Released(VK_LEFT), Released(VK_MENU),
        Pressed(VK_LWIN),    Pressed('E'),        Released('E'),     Released(VK_LWIN),
        Pressed(VK_CONTROL), Pressed(VK_MENU),    Pressed(VK_SHIFT), Pressed(VK_LWIN),
        Pressed(VK_F5),      Released(VK_F5),     Released(VK_LWIN), Released(VK_SHIFT),
        Released(VK_MENU),   Released(VK_CONTROL)};
    EXPECT_EQ(WithoutSystemKeys(window.keys), expected);
    EXPECT_EQ(window.keys[1].message, UINT(WM_SYSKEYDOWN)) << "Left went out with Alt held";
}

// Inserts through SendInput, except that it refuses one batch outright, as SendInput does
// for a window of a higher integrity level.
class RefusingOneBatch final : public KeyboardInputSender {
public:
    explicit RefusingOneBatch(std::size_t refusedBatch) : refusedBatch_(refusedBatch) {}
    [[nodiscard]] std::size_t Send(std::span<const KeyboardInput> events) override {
        if (batches_++ == refusedBatch_) return 0;
        return system_.Send(events);
    }

private:
    SendInputSender system_;
    std::size_t refusedBatch_;
    std::size_t batches_ = 0;
};

TEST(KeyStepsInAWindow, RefusedStepInTheMiddleIsFollowedByTheRest) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    RefusingOneBatch sender(1);
    const std::vector<KeyStep> steps = {{.vk = 'A'}, {.ctrl = true, .vk = 'B'}, {.vk = 'C'}};
    EXPECT_FALSE(SendKeySteps(steps, sender));
    WaitForKeys(window, 4);
    const std::vector<KeyMessage> expected = {Pressed('A'), Released('A'), Pressed('C'),
                                              Released('C')};
    EXPECT_EQ(window.keys, expected);
}

TEST(KeyStepsInAWindow, EmptyStepSendsNothing) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    EXPECT_TRUE(SendKeyStep(KeyStep{.ctrl = true, .alt = true, .shift = true, .win = true}));
    PumpMessages(300);
    EXPECT_TRUE(window.keys.empty());
}

TEST(MediaKeyInAWindow, ArrivesAsAnExtendedKeyDownAndUp) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    ASSERT_TRUE(SendMediaKey(VK_MEDIA_PLAY_PAUSE));
    WaitForKeys(window, 2);
    const std::vector<KeyMessage> expected = {Pressed(VK_MEDIA_PLAY_PAUSE, true),
                                              Released(VK_MEDIA_PLAY_PAUSE, true)};
    EXPECT_EQ(window.keys, expected);
}

TEST(FormatKeyStepWithWinesLayout, ModifierPrefixesAndTheLayoutsKeyName) {
    EXPECT_EQ(FormatKeyStep({.ctrl = true, .shift = true, .vk = 'S'}), L"Ctrl+Shift+S");
    EXPECT_EQ(FormatKeyStep({.ctrl = true, .alt = true, .shift = true, .win = true, .vk = VK_F5}),
              L"Ctrl+Alt+Shift+Win+F5");
    EXPECT_EQ(FormatKeyStep({.ctrl = true}), L"(none)");
    EXPECT_EQ(FormatKeyStep({.shift = true, .vk = 255}), L"Shift+VK(255)");
}

TEST(FormatKeyStepWithWinesLayout, NavigationKeysGetTheirOwnNamesNotTheKeypads) {
    const std::wstring left = FormatKeyStep({.alt = true, .vk = VK_LEFT});
    const std::wstring keypadFour = FormatKeyStep({.vk = VK_NUMPAD4});
    EXPECT_EQ(left, L"Alt+Left");
    EXPECT_NE(L"Alt+" + keypadFour, left) << "Left was named as keypad 4";
    EXPECT_EQ(FormatKeyStep({.vk = VK_DELETE}), L"Delete");
}

}  // namespace
}  // namespace orvello::test
