#pragma once

#include "trigger/keyboard_event.h"
#include "trigger/trigger_capture.h"
#include "trigger/trigger_definition.h"
#include "trigger/trigger_owner.h"

namespace orvello {

// What the commands dialog lends to the capture of its command trigger, besides the display.
class CommandsDialogCaptureHost : public TriggerDisplay {
public:
    // The text of the "Select Trigger" button, which reads "Press keys..." during a capture.
    virtual void setSelectTriggerText(std::u16string_view text) = 0;
    // Recomputes the enabled state of the list buttons, which are off during a capture.
    virtual void updateButtonStates() = 0;
};

// The commands dialog's capture of its copy of the command trigger. The scope is the one the
// dialog was opened with; the button toggles between starting and cancelling; a captured trigger
// that the dictation trigger would also match draws a notice. Nothing is saved here: the main
// window takes the trigger back when the dialog ends with OK.
class CommandsDialogTriggerCapture final : private TriggerCaptureOwner {
public:
    CommandsDialogTriggerCapture(TriggerDefinition commandTrigger,
                                 TriggerDefinition dictationTrigger, bool captureAnyKeyboard,
                                 CommandsDialogCaptureHost& host, MessagePresenter& messages);

    // "Select Trigger": starts a capture, or cancels the running one.
    void onSelectTrigger();
    // A decoded event; the dialog need not even decode its WM_INPUT while no capture runs.
    void onKeyEvent(const KeyboardEvent& event) { capture_.onKeyEvent(event); }
    // Ends a running capture without a result (OK closes the dialog).
    void cancel() { capture_.cancel(); }
    // Trigger text field and key map, also outside a capture (initialisation).
    void refreshDisplay() { capture_.refreshDisplay(); }

    [[nodiscard]] bool isCapturing() const { return capture_.isCapturing(); }
    [[nodiscard]] const TriggerDefinition& commandTrigger() const { return commandTrigger_; }
    [[nodiscard]] const TriggerCapture& capture() const { return capture_; }

private:
    [[nodiscard]] const TriggerDefinition& ownerTrigger() const override { return commandTrigger_; }
    void showTriggerText(std::u16string_view text) override { host_.showTriggerText(text); }
    void showTriggerKeys(std::span<const ModifierKey> keys) override {
        host_.showTriggerKeys(keys);
    }
    void captureStarted() override;
    void captureCancelled() override;
    void captureFinished(TriggerDefinition trigger) override;

    TriggerDefinition commandTrigger_;
    TriggerDefinition dictationTrigger_;
    bool captureAnyKeyboard_;
    CommandsDialogCaptureHost& host_;
    MessagePresenter& messages_;
    TriggerCapture capture_;
};

// Whether the dictation trigger would also fire on the command trigger's keys: equal key lists,
// and either trigger takes any keyboard or both name the same one. Broader than triggersEqual,
// which also asks for the same scope.
[[nodiscard]] bool commandTriggerOverlapsDictation(const TriggerDefinition& command,
                                                   const TriggerDefinition& dictation);

}  // namespace orvello
