#include "trigger/trigger_definition.h"

namespace orvello {

namespace {

constexpr std::u16string_view kNotSetText = u"Not set";
constexpr std::u16string_view kKeySeparator = u" + ";
constexpr std::u16string_view kKeyboardPartPrefix = u" | Keyboard: ";
constexpr std::u16string_view kUnnamedKeyboardText = u"Specific";

}  // namespace

ModifierMask keysToMask(std::span<const ModifierKey> keys) {
    ModifierKeySet set;
    for (ModifierKey key : keys) set.insert(key);
    return set.bits();
}

std::vector<ModifierKey> maskToKeys(ModifierMask mask) {
    std::vector<ModifierKey> keys;
    ModifierKeySet::fromBits(mask).forEach([&keys](ModifierKey key) { keys.push_back(key); });
    return keys;
}

bool triggersEqual(const TriggerDefinition& a, const TriggerDefinition& b) {
    if (a.keys != b.keys || a.anyKeyboard != b.anyKeyboard) return false;
    return a.anyKeyboard || a.deviceId == b.deviceId;
}

bool isSplitMode(const TriggerDefinition& dictation, const TriggerDefinition& command) {
    return command.isSet() && !triggersEqual(dictation, command);
}

std::u16string triggerText(const TriggerDefinition& trigger) {
    if (!trigger.isSet()) return std::u16string(kNotSetText);
    std::u16string text;
    for (std::size_t i = 0; i < trigger.keys.size(); ++i) {
        if (i > 0) text += kKeySeparator;
        text += modifierKeyDisplayText(trigger.keys[i]);
    }
    if (!trigger.anyKeyboard) {
        text += kKeyboardPartPrefix;
        text += trigger.deviceId.empty() ? std::u16string(kUnnamedKeyboardText)
                                         : deviceDisplayName(trigger.deviceId);
    }
    return text;
}

}  // namespace orvello
