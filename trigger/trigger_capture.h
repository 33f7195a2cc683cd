#pragma once

#include <span>
#include <string_view>

#include "trigger/device_identity.h"
#include "trigger/keyboard_event.h"
#include "trigger/modifier_key.h"
#include "trigger/trigger_definition.h"

namespace orvello {

// Where a window shows its trigger: the trigger text field and the key map's trigger keys.
class TriggerDisplay {
public:
    virtual ~TriggerDisplay() = default;

    virtual void showTriggerText(std::u16string_view text) = 0;
    // The key map display repaints only when the list differs from the one it shows.
    virtual void showTriggerKeys(std::span<const ModifierKey> keys) = 0;
};

// What a trigger capture asks of the window that runs it. Every call is synchronous on that
// window's thread.
class TriggerCaptureOwner : public TriggerDisplay {
public:
    // The trigger a capture would replace, shown while no capture runs.
    [[nodiscard]] virtual const TriggerDefinition& ownerTrigger() const = 0;

    // Called after the capture state changed and before the display is refreshed.
    virtual void captureStarted() {}
    virtual void captureCancelled() {}
    // The capture ended with a combination and is already idle again. The owner takes the
    // trigger and refreshes the display itself, so that it can order that against its saving
    // and its messages.
    virtual void captureFinished(TriggerDefinition trigger) = 0;
};

// Turns "press and release the wanted modifier combination" into a TriggerDefinition. Every
// modifier pressed from the first press until no modifier is held any more joins the
// combination, whichever keyboard it comes from; any other key cancels. With a keyboard-bound
// scope the keyboard of the first modifier press becomes the trigger keyboard. There is no time
// limit. Single-threaded, on the owner's thread.
class TriggerCapture {
public:
    explicit TriggerCapture(TriggerCaptureOwner& owner) : owner_(owner) {}

    TriggerCapture(const TriggerCapture&) = delete;
    TriggerCapture& operator=(const TriggerCapture&) = delete;

    // Starts a capture for a trigger on any keyboard or on one keyboard; a running capture
    // starts afresh.
    void start(bool anyKeyboard);
    // One decoded event; ignored while no capture runs.
    void onKeyEvent(const KeyboardEvent& event);
    // Ends a running capture without a result; does nothing while idle.
    void cancel();

    // Trigger text field and key map: the combination so far during a capture, else the owner's
    // trigger.
    void refreshDisplay();

    [[nodiscard]] bool isCapturing() const { return capturing_; }
    [[nodiscard]] bool capturesAnyKeyboard() const { return anyKeyboard_; }
    [[nodiscard]] ModifierKeySet heldKeys() const { return held_; }
    [[nodiscard]] ModifierKeySet collectedKeys() const { return collected_; }
    [[nodiscard]] const DeviceIdentity& capturedIdentity() const { return identity_; }

    // The trigger the combination so far would make.
    [[nodiscard]] TriggerDefinition candidate() const;

private:
    void onModifierPress(ModifierKey key, std::u16string_view identity);
    void onModifierRelease(ModifierKey key);
    void finish();
    void clearState();

    TriggerCaptureOwner& owner_;
    bool capturing_ = false;
    bool anyKeyboard_ = true;
    ModifierKeySet held_;       // over all keyboards together
    ModifierKeySet collected_;  // every modifier pressed since the start
    DeviceIdentity identity_;   // keyboard of the first press; only in the keyboard-bound scope
};

}  // namespace orvello
