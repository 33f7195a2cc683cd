#include "trigger/trigger_tracker.h"

#include <algorithm>

namespace orvello {

namespace {

constexpr std::u16string_view kTriggerKeyboardMissingStart =
    u"The trigger keyboard is not currently connected:\n";
constexpr std::u16string_view kTriggerKeyboardMissingEnd =
    u"\n\nPlug it in or select a new trigger.";
constexpr std::u16string_view kCommandKeyboardMissingStart =
    u"The command trigger keyboard is not currently connected:\n";
constexpr std::u16string_view kCommandKeyboardMissingEnd =
    u"\n\nPlug it in or select a new command trigger in the Commands dialog.";

constexpr std::u16string_view kScopeAnyKeyboardText =
    u"Keyboard scope changed to: any keyboard.\n\n"
    u"Both trigger keys have been cleared.\n"
    u"Please set a new Trigger Key here, and a new Command Trigger Key in the Commands dialog.";
constexpr std::u16string_view kScopeSpecificKeyboardText =
    u"Keyboard scope changed to: specific keyboard.\n\n"
    u"Both trigger keys have been cleared.\n"
    u"Please set a new Trigger Key here, and a new Command Trigger Key in the Commands dialog.";

// A keyboard matches a trigger when it holds exactly the trigger's keys, no more.
bool holdsExactly(ModifierKeySet held, const std::vector<ModifierKey>& keys) {
    return held.size() == static_cast<int>(keys.size()) &&
           std::all_of(keys.begin(), keys.end(),
                       [held](ModifierKey key) { return held.contains(key); });
}

bool isAttached(const std::vector<KeyboardDeviceInfo>& keyboards, std::u16string_view identity) {
    return std::any_of(
        keyboards.begin(), keyboards.end(),
        [identity](const KeyboardDeviceInfo& info) { return info.deviceIdentity == identity; });
}

std::u16string keyboardMissingText(std::u16string_view start, std::u16string_view deviceId,
                                   std::u16string_view end) {
    std::u16string text(start);
    text += deviceId;
    text += end;
    return text;
}

}  // namespace

TriggerTracker::TriggerTracker(RawKeyboardReader& reader, TriggerOwner& owner,
                               MessagePresenter& messages)
    : reader_(reader), owner_(owner), messages_(messages) {
    pressedKeys_.reserve(4 * kTriggerKeyCount);
}

void TriggerTracker::onKeyEvent(const KeyboardEvent& event) {
    noteOtherKey(event);
    if (!isTriggerKey(event.key)) return;
    heldKeys_.apply(event.deviceIdentity, event.key, event.isDown);
    showPressedKeys();

    if (active_) {
        // Extra modifiers pressed meanwhile do not end the trigger; a released trigger key does.
        // A new match on this event starts nothing: the user releases first.
        if (!activeTriggerStillHeld()) deactivate(event.timeMs, true);
        return;
    }
    // The dictation trigger wins when both match on the same event. While a dictation goes on
    // hands-free the command trigger is not watched: it could only stop that recording.
    if (const auto dictationMatch = findMatch(dictation_)) {
        activate(*dictationMatch, false, event.timeMs);
    } else if (isSplitMode() && !handsFree_.isHandsFree()) {
        if (const auto commandMatch = findMatch(command_)) {
            activate(*commandMatch, true, event.timeMs);
        }
    }
}

// Auto-repeats of the trigger's own keys are no other key.
void TriggerTracker::noteOtherKey(const KeyboardEvent& event) {
    if (!active_ || !event.isDown || event.deviceIdentity != activeIdentity_) return;
    const TriggerDefinition& trigger = activeIsCommand_ ? command_ : dictation_;
    if (std::find(trigger.keys.begin(), trigger.keys.end(), event.key) == trigger.keys.end()) {
        otherKeyWhileActive_ = true;
    }
}

bool TriggerTracker::stopHandsFree() {
    if (!handsFree_.endHandsFree()) return false;
    owner_.stopRequest();
    return true;
}

void TriggerTracker::reset() {
    // The state is idle before the owner hears of it, so the owner sees a consistent tracker
    // should it look during the (blocking) stop.
    const bool commandActive = active_ && activeIsCommand_;
    const bool dictationMayRecord = handsFree_.reset();
    resetWithoutStopRequest();
    if (commandActive || dictationMayRecord) owner_.stopRequest();
}

void TriggerTracker::resetWithoutStopRequest() {
    heldKeys_.clear();
    active_ = false;
    activeIsCommand_ = false;
    activeIdentity_.clear();
    (void)handsFree_.reset();
    showPressedKeys();  // the key map must not go on showing keys the tracker has forgotten
}

void TriggerTracker::onKeyboardRemoved(DeviceHandle device) {
    reader_.forget(device);
    // Only a complete list can tell which keyboards are gone: after a failed read nothing is
    // pruned, and root-enumerated keyboards count as attached like any other.
    if (const auto attached = reader_.attachedKeyboardIdentities()) {
        heldKeys_.removeKeyboardsNotIn(*attached);
    }
    showPressedKeys();
    if (active_ && !activeIdentity_.empty() && !heldKeys_.holdsKeys(activeIdentity_)) {
        deactivate(0, false);
    }
}

void TriggerTracker::checkTriggerKeyboards() {
    const bool checkDictation = !dictation_.anyKeyboard && !dictation_.deviceId.empty();
    const bool checkCommand = isSplitMode() && !command_.anyKeyboard &&
                              !command_.deviceId.empty() &&
                              command_.deviceId != dictation_.deviceId;
    if (!checkDictation && !checkCommand) return;

    const std::vector<KeyboardDeviceInfo> keyboards = reader_.enumerate();
    if (checkDictation && !isAttached(keyboards, dictation_.deviceId)) {
        messages_.showMessage(MessageIcon::Exclamation,
                              keyboardMissingText(kTriggerKeyboardMissingStart, dictation_.deviceId,
                                                  kTriggerKeyboardMissingEnd));
    }
    if (checkCommand && !isAttached(keyboards, command_.deviceId)) {
        messages_.showMessage(MessageIcon::Exclamation,
                              keyboardMissingText(kCommandKeyboardMissingStart, command_.deviceId,
                                                  kCommandKeyboardMissingEnd));
    }
}

void TriggerTracker::setKeyboardScope(bool anyKeyboard) {
    for (TriggerDefinition* trigger : {&dictation_, &command_}) {
        trigger->keys.clear();
        trigger->deviceId.clear();
        trigger->anyKeyboard = anyKeyboard;
    }
    owner_.cancelTriggerCapture();
    owner_.refreshTriggerDisplay();
    owner_.saveTriggers();
    owner_.refreshTriggerDisplay();
    messages_.showMessage(MessageIcon::Information,
                          anyKeyboard ? kScopeAnyKeyboardText : kScopeSpecificKeyboardText);
}

std::optional<std::u16string_view> TriggerTracker::findMatch(
    const TriggerDefinition& trigger) const {
    if (!trigger.isSet()) return std::nullopt;
    if (!trigger.anyKeyboard) {
        if (holdsExactly(heldKeys_.keysOn(trigger.deviceId), trigger.keys)) {
            return std::u16string_view(trigger.deviceId);
        }
        return std::nullopt;
    }
    std::optional<std::u16string_view> match;
    heldKeys_.forEachKeyboard([&](std::u16string_view identity, ModifierKeySet held) {
        if (!match && holdsExactly(held, trigger.keys)) match = identity;
    });
    return match;
}

bool TriggerTracker::activeTriggerStillHeld() const {
    const TriggerDefinition& trigger = activeIsCommand_ ? command_ : dictation_;
    if (activeIdentity_.empty() || !trigger.isSet()) return false;
    const ModifierKeySet held = heldKeys_.keysOn(activeIdentity_);
    return !held.empty() && std::all_of(trigger.keys.begin(), trigger.keys.end(),
                                        [held](ModifierKey key) { return held.contains(key); });
}

void TriggerTracker::activate(std::u16string_view identity, bool isCommand, KeyTimeMs time) {
    active_ = true;
    activeIsCommand_ = isCommand;
    activeIdentity_.assign(identity);
    otherKeyWhileActive_ = false;
    if (isCommand) {
        (void)owner_.startRequest(true);
    } else {
        perform(handsFree_.onPress(time));
    }
}

void TriggerTracker::deactivate(KeyTimeMs time, bool released) {
    const bool wasCommand = activeIsCommand_;
    active_ = false;
    activeIsCommand_ = false;
    activeIdentity_.clear();
    if (wasCommand) {
        owner_.stopRequest();
    } else {
        perform(handsFree_.onRelease(time, otherKeyWhileActive_ || !released));
    }
}

void TriggerTracker::perform(DictationRequest request) {
    switch (request) {
        case DictationRequest::Start:
            if (!owner_.startRequest(false)) handsFree_.startDeclined();
            break;
        case DictationRequest::Stop:
            owner_.stopRequest();
            break;
        case DictationRequest::ContinueHandsFree:
            owner_.handsFreeStarted();
            break;
        case DictationRequest::StartHandsFree:
            if (owner_.startRequest(false)) {
                owner_.handsFreeStarted();
            } else {
                handsFree_.startDeclined();
            }
            break;
        case DictationRequest::None:
            break;
    }
}

void TriggerTracker::showPressedKeys() {
    if (keyMap_ == nullptr) return;
    pressedKeys_.clear();
    heldKeys_.forEachKeyboard([this](std::u16string_view, ModifierKeySet held) {
        held.forEach([this](ModifierKey key) { pressedKeys_.push_back(key); });
    });
    keyMap_->SetPressedKeys(pressedKeys_);
}

}  // namespace orvello
