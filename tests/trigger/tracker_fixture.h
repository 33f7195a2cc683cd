#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "key_names.h"
#include "trigger/raw_keyboard_reader.h"
#include "trigger/trigger_tracker.h"
#include "trigger_test_support.h"

namespace orvello::test {

inline constexpr DeviceHandle kKeyboardA = 0x10;  // identity sorts before B's
inline constexpr DeviceHandle kKeyboardB = 0x20;

// A tracker fed by a real reader over two scripted keyboards, with every owner call recorded.
// Keys travel the whole way: raw record, decoding with the device identity, tracker.
class TrackerTest : public ::testing::Test {
protected:
    TrackerTest() {
        auto source = std::make_unique<FakeRawInputSource>();
        fake = source.get();
        fake->addKeyboard(kKeyboardA, kNameA);
        fake->addKeyboard(kKeyboardB, kNameB);
        reader = std::make_unique<RawKeyboardReader>(std::move(source));
        tracker = std::make_unique<TriggerTracker>(*reader, owner, messages);
        tracker->setKeyMapDisplay(&keyMap);
    }

    // Events happen at `nowMs`, which tests move on.
    void key(DeviceHandle device, ModifierKey key, bool isDown) {
        auto event = reader->decode(fake->queueRecord(recordFor(device, key, isDown)));
        ASSERT_TRUE(event);
        event->timeMs = nowMs;
        tracker->onKeyEvent(*event);
    }
    void press(DeviceHandle device, ModifierKey k) { key(device, k, true); }
    void release(DeviceHandle device, ModifierKey k) { key(device, k, false); }
    void press(ModifierKey k) { press(kKeyboardA, k); }
    void release(ModifierKey k) { release(kKeyboardA, k); }

    void setDictation(Keys keys) { tracker->setDictationTrigger({std::move(keys), true, {}}); }
    void setCommand(Keys keys) { tracker->setCommandTrigger({std::move(keys), true, {}}); }
    void setDictationOn(Keys keys, const std::u16string& identity) {
        tracker->setDictationTrigger({std::move(keys), false, identity});
    }
    void setCommandOn(Keys keys, const std::u16string& identity) {
        tracker->setCommandTrigger({std::move(keys), false, identity});
    }

    KeyTimeMs nowMs = 0;
    FakeRawInputSource* fake = nullptr;
    RecordingOwner owner;
    RecordingMessages messages;
    RecordingKeyMap keyMap;
    std::unique_ptr<RawKeyboardReader> reader;
    std::unique_ptr<TriggerTracker> tracker;
};

}  // namespace orvello::test
