#include "app/main_window_trigger_capture.h"

#include <string_view>
#include <utility>

namespace orvello {

namespace {

constexpr std::u16string_view kSingleAltWarning =
    u"Warning: a single Alt key is not recommended as a trigger.\n\n"
    u"Many applications use Alt alone to activate their menu bar, which may interfere with "
    u"dictation.\n\n"
    u"Recommended alternatives:\n"
    u"  - Right Ctrl\n"
    u"  - Alt + Shift, Alt + Ctrl, or another combination";

bool isSingleAlt(const TriggerDefinition& trigger) {
    return trigger.keys.size() == 1 &&
           (trigger.keys[0] == ModifierKey::LeftAlt || trigger.keys[0] == ModifierKey::RightAlt);
}

}  // namespace

MainWindowTriggerCapture::MainWindowTriggerCapture(TriggerTracker& tracker,
                                                   MainWindowCaptureHost& host,
                                                   MessagePresenter& messages)
    : tracker_(tracker), host_(host), messages_(messages), capture_(*this) {}

void MainWindowTriggerCapture::onSelectTrigger() {
    capture_.start(!host_.useMultipleKeyboards());
}

void MainWindowTriggerCapture::onKeyEvent(const KeyboardEvent& event) {
    if (capture_.isCapturing()) {
        capture_.onKeyEvent(event);
    } else {
        tracker_.onKeyEvent(event);
    }
}

const TriggerDefinition& MainWindowTriggerCapture::ownerTrigger() const {
    return tracker_.dictationTrigger();
}

void MainWindowTriggerCapture::captureFinished(TriggerDefinition trigger) {
    tracker_.reset();
    tracker_.setDictationTrigger(std::move(trigger));
    host_.saveDictationTrigger();
    // The trigger is kept: the warning only explains the risk.
    if (isSingleAlt(tracker_.dictationTrigger())) {
        messages_.showMessage(MessageIcon::Exclamation, kSingleAltWarning);
    }
    host_.setUseMultipleKeyboards(!tracker_.dictationTrigger().anyKeyboard);
    capture_.refreshDisplay();
}

}  // namespace orvello
