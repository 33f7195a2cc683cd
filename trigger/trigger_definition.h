#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "trigger/device_identity.h"
#include "trigger/modifier_key.h"

namespace orvello {

// Registry form of a trigger's keys: bit (key - LeftShift) per key, 0x01 Left Shift up to
// 0x20 Right Alt. Higher bits mean nothing and are ignored on reading.
using ModifierMask = std::uint32_t;

// One push-to-talk trigger: modifier keys held together on any keyboard or on one keyboard.
struct TriggerDefinition {
    // Keys in LeftShift..RightAlt, ascending, no duplicates. Empty means "not set": never matches.
    std::vector<ModifierKey> keys;
    // True: the keys may be held on any one keyboard. False: on the keyboard named by deviceId.
    bool anyKeyboard = true;
    // The trigger keyboard's identity; empty whenever anyKeyboard is true.
    DeviceIdentity deviceId;

    [[nodiscard]] bool isSet() const { return !keys.empty(); }
};

[[nodiscard]] ModifierMask keysToMask(std::span<const ModifierKey> keys);

// Keys of the six low bits, ascending; higher bits are ignored.
[[nodiscard]] std::vector<ModifierKey> maskToKeys(ModifierMask mask);

// Same keys in the same order and the same scope; the keyboards are compared only when both
// triggers are bound to one, so two any-keyboard triggers with equal keys are equal whatever
// their deviceId strings hold.
[[nodiscard]] bool triggersEqual(const TriggerDefinition& a, const TriggerDefinition& b);

// Split mode: a command trigger is set and differs from the dictation trigger, so one trigger
// only types and the other only runs commands. Otherwise one trigger serves both (unified mode).
[[nodiscard]] bool isSplitMode(const TriggerDefinition& dictation,
                               const TriggerDefinition& command);

// "Right Ctrl", "Left Shift + Left Alt", "Right Ctrl | Keyboard: VID_046D&PID_C52B&MI_00",
// or "Not set" for a trigger without keys.
[[nodiscard]] std::u16string triggerText(const TriggerDefinition& trigger);

}  // namespace orvello
