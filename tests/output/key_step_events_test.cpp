// The events of key chords, key sequences and media keys.
#include <gtest/gtest.h>

#include <vector>

#include "output/key_step_events.h"
#include "tests/output/recording_sender.h"

namespace orvello::test {
namespace {

constexpr std::uint16_t kCtrl = 0x11, kAlt = 0x12, kShift = 0x10, kLeftWin = 0x5B;
constexpr std::uint16_t kKeyS = 0x53, kKeyE = 0x45, kLeft = 0x25, kF5 = 0x74;

KeyboardInput Down(std::uint16_t vk) {
    return VirtualKeyEvent(vk, 0);
}
KeyboardInput Up(std::uint16_t vk) {
    return VirtualKeyEvent(vk, 0x0002);
}

std::vector<KeyboardInput> EventsOf(const KeyStep& step) {
    const KeyStepEvents events = BuildKeyStepEvents(step);
    return {events.View().begin(), events.View().end()};
}

TEST(KeyStepEvents, ModifiersPressInFixedOrderAndReleaseInMirrorOrder) {
    const KeyStep all{.ctrl = true, .alt = true, .shift = true, .win = true, .vk = kF5};
    const std::vector<KeyboardInput> expected = {
        Down(kCtrl), Down(kAlt),   Down(kShift), Down(kLeftWin), Down(kF5),
        Up(kF5),     Up(kLeftWin), Up(kShift),   Up(kAlt),       Up(kCtrl)};
    EXPECT_EQ(EventsOf(all), expected);

    const KeyStep ctrlShiftS{.ctrl = true, .shift = true, .vk = kKeyS};
    EXPECT_EQ(EventsOf(ctrlShiftS),
              (std::vector<KeyboardInput>{Down(kCtrl), Down(kShift), Down(kKeyS), Up(kKeyS),
                                          Up(kShift), Up(kCtrl)}));
}

TEST(KeyStepEvents, APlainKeyIsItsDownAndUp) {
    EXPECT_EQ(EventsOf(KeyStep{.vk = kKeyE}), (std::vector<KeyboardInput>{Down(kKeyE), Up(kKeyE)}));
}

TEST(KeyStepEvents, WinIsAlwaysTheLeftWindowsKey) {
    // A step captured with Right Win + E holds only the generic flag; it goes out as Left Win.
    const auto events = EventsOf(KeyStep{.win = true, .vk = kKeyE});
    EXPECT_EQ(events,
              (std::vector<KeyboardInput>{Down(kLeftWin), Down(kKeyE), Up(kKeyE), Up(kLeftWin)}));
}

TEST(KeyStepEvents, NoScanCodeAndNoExtendedFlagEvenForExtendedKeys) {
    for (const KeyboardInput& event : EventsOf(KeyStep{.alt = true, .vk = kLeft})) {
        EXPECT_EQ(event.scanCode, 0);
        EXPECT_EQ(event.flags & ~0x0002u, 0u);
    }
}

TEST(SendKeyStep, EmptyStepSendsNothingAndSucceedsWhateverItsModifiers) {
    RecordingSender sender;
    EXPECT_TRUE(
        SendKeyStep(KeyStep{.ctrl = true, .alt = true, .shift = true, .win = true}, sender));
    EXPECT_TRUE(sender.batches.empty());
}

TEST(SendKeyStep, OneBatchPerStepAndFalseWhenPartlyInserted) {
    RecordingSender sender;
    sender.InsertOnly(1, 2);
    const KeyStep step{.ctrl = true, .vk = kKeyS};
    EXPECT_TRUE(SendKeyStep(step, sender));
    EXPECT_FALSE(SendKeyStep(step, sender));
    ASSERT_EQ(sender.batches.size(), 2u);
    EXPECT_EQ(sender.batches[0].size(), 4u);
}

TEST(SendKeySteps, ARefusedStepDoesNotStopTheRest) {
    RecordingSender sender;
    sender.InsertOnly(1, 0);
    const std::vector<KeyStep> steps = {{.vk = 0x41}, {.ctrl = true, .vk = 0x42}, {.vk = 0x43}};
    EXPECT_FALSE(SendKeySteps(steps, sender));
    ASSERT_EQ(sender.batches.size(), 3u);
    EXPECT_EQ(sender.batches[2], (std::vector<KeyboardInput>{Down(0x43), Up(0x43)}));
}

TEST(SendKeySteps, EmptyStepsCountAsSuccessesAndSendNothing) {
    RecordingSender sender;
    const std::vector<KeyStep> steps = {{.ctrl = true}, {.vk = 0x41}, {}};
    EXPECT_TRUE(SendKeySteps(steps, sender));
    EXPECT_EQ(sender.batches.size(), 1u);
}

TEST(SendMediaKey, ExtendedDownThenExtendedUpInOneBatch) {
    RecordingSender sender;
    EXPECT_TRUE(SendMediaKey(0xB3, sender));
    ASSERT_EQ(sender.batches.size(), 1u);
    EXPECT_EQ(sender.batches[0], (std::vector<KeyboardInput>{VirtualKeyEvent(0xB3, 0x0001),
                                                             VirtualKeyEvent(0xB3, 0x0003)}));

    RecordingSender refusing;
    refusing.InsertOnly(0, 1);
    EXPECT_FALSE(SendMediaKey(0xAF, refusing));
}

}  // namespace
}  // namespace orvello::test
