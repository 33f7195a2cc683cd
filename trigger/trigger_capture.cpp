#include "trigger/trigger_capture.h"

#include <utility>
#include <vector>

namespace orvello {

namespace {

constexpr std::u16string_view kPressKeysPrompt = u"Press Ctrl / Alt / Shift combination...";

std::vector<ModifierKey> keysOf(ModifierKeySet set) {
    std::vector<ModifierKey> keys;
    set.forEach([&keys](ModifierKey key) { keys.push_back(key); });
    return keys;
}

}  // namespace

void TriggerCapture::start(bool anyKeyboard) {
    clearState();
    capturing_ = true;
    anyKeyboard_ = anyKeyboard;
    owner_.captureStarted();
    refreshDisplay();
}

void TriggerCapture::onKeyEvent(const KeyboardEvent& event) {
    if (!capturing_) return;
    if (isTriggerKey(event.key)) {
        if (event.isDown) {
            onModifierPress(event.key, event.deviceIdentity);
        } else {
            onModifierRelease(event.key);
        }
    } else if (event.isDown) {
        // Only presses cancel: the release of a key pressed before the start (the Space or Enter
        // that clicked "Select Trigger") arrives during the capture.
        cancel();
    }
}

void TriggerCapture::cancel() {
    if (!capturing_) return;
    clearState();
    owner_.captureCancelled();
    refreshDisplay();
}

void TriggerCapture::refreshDisplay() {
    if (!capturing_) {
        const TriggerDefinition& trigger = owner_.ownerTrigger();
        owner_.showTriggerText(triggerText(trigger));
        owner_.showTriggerKeys(trigger.keys);
        return;
    }
    if (collected_.empty()) {
        owner_.showTriggerText(kPressKeysPrompt);
    } else {
        owner_.showTriggerText(triggerText(candidate()));
    }
    owner_.showTriggerKeys(keysOf(collected_));
}

TriggerDefinition TriggerCapture::candidate() const {
    TriggerDefinition trigger;
    trigger.keys = keysOf(collected_);
    trigger.anyKeyboard = anyKeyboard_;
    if (!anyKeyboard_) trigger.deviceId = identity_;
    return trigger;
}

void TriggerCapture::onModifierPress(ModifierKey key, std::u16string_view identity) {
    // An event without an identity chooses nothing: the next press may still name the keyboard.
    if (!anyKeyboard_ && identity_.empty()) identity_ = identity;
    held_.insert(key);
    collected_.insert(key);
    refreshDisplay();
}

void TriggerCapture::onModifierRelease(ModifierKey key) {
    // A key held before the start is released without having been seen: it removes nothing.
    held_.erase(key);
    if (!collected_.empty() && held_.empty()) {
        finish();
    } else {
        refreshDisplay();
    }
}

void TriggerCapture::finish() {
    TriggerDefinition trigger = candidate();
    clearState();
    owner_.captureFinished(std::move(trigger));
}

void TriggerCapture::clearState() {
    capturing_ = false;
    held_.clear();
    collected_.clear();
    identity_.clear();
}

}  // namespace orvello
