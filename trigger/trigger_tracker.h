#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "trigger/hands_free_switch.h"
#include "trigger/held_keys_table.h"
#include "trigger/keyboard_event.h"
#include "trigger/raw_keyboard_reader.h"
#include "trigger/trigger_definition.h"
#include "trigger/trigger_owner.h"

namespace orvello {

// Turns the stream of keyboard events into start and stop requests for recordings. Holds the
// dictation trigger and the command trigger; a trigger becomes active when one keyboard holds
// exactly its keys (an extra modifier on that keyboard prevents the match, modifiers on other
// keyboards do not) and ends when any of its keys is released on that keyboard. The dictation
// trigger's mode (hands_free_switch.h) decides whether a tap records hands-free; the command
// trigger always records while held. Runs on the owner's thread; lives as long as the owner.
class TriggerTracker {
public:
    TriggerTracker(RawKeyboardReader& reader, TriggerOwner& owner, MessagePresenter& messages);

    TriggerTracker(const TriggerTracker&) = delete;
    TriggerTracker& operator=(const TriggerTracker&) = delete;

    // The display that shows held keys live; null when there is none.
    void setKeyMapDisplay(KeyMapDisplay* display) { keyMap_ = display; }

    [[nodiscard]] const TriggerDefinition& dictationTrigger() const { return dictation_; }
    [[nodiscard]] const TriggerDefinition& commandTrigger() const { return command_; }
    // Replacing a trigger while it is active keeps the recording going until the next modifier
    // event, which is then checked against the new trigger.
    void setDictationTrigger(TriggerDefinition trigger) { dictation_ = std::move(trigger); }
    void setCommandTrigger(TriggerDefinition trigger) { command_ = std::move(trigger); }
    [[nodiscard]] bool isSplitMode() const { return orvello::isSplitMode(dictation_, command_); }

    // A recording running hands-free when the mode changes goes on until it ends as one.
    void setTriggerMode(TriggerMode mode) { handsFree_.setMode(mode); }
    [[nodiscard]] TriggerMode triggerMode() const { return handsFree_.mode(); }
    [[nodiscard]] bool isHandsFree() const { return handsFree_.isHandsFree(); }
    // Ends a hands-free recording with a stop request (the tray's "Stop Recording", long quiet);
    // false, and nothing asked, when none runs.
    bool stopHandsFree();
    // The hands-free recording ended by itself (its capture failed): forgets it, no request.
    void forgetHandsFree() { (void)handsFree_.endHandsFree(); }

    // One decoded event, while no trigger capture runs. Generic keys change nothing, except that
    // one pressed with the dictation trigger makes its release no tap.
    void onKeyEvent(const KeyboardEvent& event);

    // Ends an active trigger or a hands-free recording with a stop request and forgets all held
    // keys.
    void reset();
    // The same without the stop request, for when no recording can be running (engine reload).
    void resetWithoutStopRequest();

    // A device was removed: forgets its name, drops held keys of keyboards that are gone and
    // ends the active trigger when its keyboard is among them.
    void onKeyboardRemoved(DeviceHandle device);

    // Start-up check: tells the user when a keyboard-bound trigger's keyboard is absent.
    void checkTriggerKeyboards();

    // Clears both triggers and gives them the new scope, then has the owner end a capture,
    // refresh and save, and tells the user.
    void setKeyboardScope(bool anyKeyboard);

    [[nodiscard]] bool isActive() const { return active_; }
    [[nodiscard]] bool activeIsCommand() const { return activeIsCommand_; }
    [[nodiscard]] std::u16string_view activeIdentity() const { return activeIdentity_; }
    [[nodiscard]] const HeldKeysTable& heldKeys() const { return heldKeys_; }

private:
    [[nodiscard]] std::optional<std::u16string_view> findMatch(
        const TriggerDefinition& trigger) const;
    [[nodiscard]] bool activeTriggerStillHeld() const;
    void noteOtherKey(const KeyboardEvent& event);
    void activate(std::u16string_view identity, bool isCommand, KeyTimeMs time);
    // `released`: the trigger's keys went up, rather than its keyboard away.
    void deactivate(KeyTimeMs time, bool released);
    void perform(DictationRequest request);
    void showPressedKeys();

    RawKeyboardReader& reader_;
    TriggerOwner& owner_;
    MessagePresenter& messages_;
    KeyMapDisplay* keyMap_ = nullptr;

    TriggerDefinition dictation_;
    TriggerDefinition command_;

    HeldKeysTable heldKeys_;
    bool active_ = false;
    bool activeIsCommand_ = false;
    DeviceIdentity activeIdentity_;
    bool otherKeyWhileActive_ = false;  // another key went down on the active keyboard
    HandsFreeSwitch handsFree_;
    std::vector<ModifierKey> pressedKeys_;  // reused for every display update
};

}  // namespace orvello
