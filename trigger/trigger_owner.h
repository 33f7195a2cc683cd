#pragma once

#include <span>
#include <string_view>

#include "trigger/modifier_key.h"

namespace orvello {

// What the trigger tracker asks of the window that owns it (the main window). Every call is
// synchronous on the owner's thread.
class TriggerOwner {
public:
    virtual ~TriggerOwner() = default;

    // A trigger became held (or, in Toggle mode, was tapped): start a recording. The owner may
    // decline (no engine, engine busy, no input device); true when a recording now runs. The
    // tracker stays active until the trigger is released either way.
    virtual bool startRequest(bool forCommandTrigger) = 0;
    // The held trigger ended, or a hands-free recording did: stop the current recording, if
    // any, and have it transcribed.
    virtual void stopRequest() = 0;
    // The dictation recording now running goes on without the trigger held, until the next tap
    // of the trigger or stopHandsFree.
    virtual void handsFreeStarted() = 0;

    // Used by the keyboard-scope switch, which clears both triggers.
    virtual void cancelTriggerCapture() = 0;   // end a running capture without a result
    virtual void refreshTriggerDisplay() = 0;  // trigger text field and key map trigger keys
    virtual void saveTriggers() = 0;           // write both triggers to the settings
};

// The key map display's live view of held keys. Optional: the tracker works without one.
class KeyMapDisplay {
public:
    virtual ~KeyMapDisplay() = default;

    // Every key held, keyboard by keyboard in identity order, each keyboard's keys ascending;
    // a key held on two keyboards appears twice. The display repaints only when it changed.
    virtual void SetPressedKeys(std::span<const ModifierKey> keys) = 0;
};

enum class MessageIcon { Information, Exclamation };

// Application message boxes (caption "Orvello", one OK button).
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual void showMessage(MessageIcon icon, std::u16string_view text) = 0;
};

}  // namespace orvello
