#pragma once

#include "trigger/keyboard_event.h"
#include "trigger/trigger_capture.h"
#include "trigger/trigger_definition.h"
#include "trigger/trigger_owner.h"
#include "trigger/trigger_tracker.h"

namespace orvello {

// What the main window lends to the capture of its dictation trigger, besides the display.
class MainWindowCaptureHost : public TriggerDisplay {
public:
    // "Use Multiple Keyboards": checked means triggers are bound to one keyboard.
    [[nodiscard]] virtual bool useMultipleKeyboards() const = 0;
    // Sets the check box the way a program does, without the click that switches the scope.
    virtual void setUseMultipleKeyboards(bool checked) = 0;
    // Writes the dictation trigger to the settings.
    virtual void saveDictationTrigger() = 0;
};

// The main window's capture of the dictation trigger, which lives in the tracker. The scope is
// read from "Use Multiple Keyboards" at every start; a captured trigger is saved at once, a
// single Alt key draws a warning, and the check box then follows the new trigger's scope.
// However the capture ends, the tracker is reset: it never saw the releases of the keys the
// capture took.
class MainWindowTriggerCapture final : private TriggerCaptureOwner {
public:
    MainWindowTriggerCapture(TriggerTracker& tracker, MainWindowCaptureHost& host,
                             MessagePresenter& messages);

    // "Select Trigger": starts a capture; during one, starts it afresh.
    void onSelectTrigger();
    // Every decoded event of the main window: to the capture while one runs, otherwise to the
    // tracker, which therefore sees none of the keys of a capture.
    void onKeyEvent(const KeyboardEvent& event);
    // Ends a running capture without a result (the keyboard-scope switch).
    void cancel() { capture_.cancel(); }
    // Trigger text field and key map, also outside a capture (start-up, scope switch).
    void refreshDisplay() { capture_.refreshDisplay(); }

    [[nodiscard]] bool isCapturing() const { return capture_.isCapturing(); }
    [[nodiscard]] const TriggerCapture& capture() const { return capture_; }

private:
    [[nodiscard]] const TriggerDefinition& ownerTrigger() const override;
    void showTriggerText(std::u16string_view text) override { host_.showTriggerText(text); }
    void showTriggerKeys(std::span<const ModifierKey> keys) override {
        host_.showTriggerKeys(keys);
    }
    void captureCancelled() override { tracker_.reset(); }
    void captureFinished(TriggerDefinition trigger) override;

    TriggerTracker& tracker_;
    MainWindowCaptureHost& host_;
    MessagePresenter& messages_;
    TriggerCapture capture_;
};

}  // namespace orvello
