// Decoding and tracking run for every keystroke of every keyboard all day; once a keyboard's name
// is cached they must not touch the heap. The program counts allocations with a replaced global
// allocator.
#include <gtest/gtest.h>

#include <memory>

#include "replay_raw_input.h"
#include "tests/support/heap_allocation_counter.h"
#include "trigger/raw_keyboard_reader.h"
#include "trigger/trigger_tracker.h"

namespace orvello::test {
namespace {

TEST(SteadyStateKeystrokes, DecodeAndTrackWithoutAllocating) {
    auto source = std::make_unique<ReplayRawInputSource>(typicalKeystrokes());
    const std::size_t recordCount = source->recordCount();
    RawKeyboardReader reader(std::move(source));
    CountingOwner owner;
    SilentMessages messages;
    CountingKeyMap keyMap;
    TriggerTracker tracker(reader, owner, messages);
    tracker.setKeyMapDisplay(&keyMap);
    tracker.setDictationTrigger({{ModifierKey::RightCtrl}, true, {}});
    tracker.setCommandTrigger({{ModifierKey::RightCtrl, ModifierKey::RightAlt}, true, {}});

    auto runOnce = [&] {
        for (RawInputHandle input = 0; input < recordCount; ++input) {
            const auto event = reader.decode(input);
            ASSERT_TRUE(event);
            tracker.onKeyEvent(*event);
        }
    };
    runOnce();  // first sight of each keyboard: names cached, held-key slots made
    const long startsAfterWarmUp = owner.starts;

    const long allocationsBefore = heapAllocationCount();
    for (int round = 0; round < 100; ++round) runOnce();
    EXPECT_EQ(heapAllocationCount() - allocationsBefore, 0);

    // The sequence really exercised the trigger: a dictation, a command, and the two-keyboard hold.
    EXPECT_EQ(owner.starts - startsAfterWarmUp, 300);
    EXPECT_EQ(owner.commandStarts, 101);
    EXPECT_EQ(owner.stops, owner.starts);
}

}  // namespace
}  // namespace orvello::test
