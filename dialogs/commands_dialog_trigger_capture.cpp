#include "dialogs/commands_dialog_trigger_capture.h"

#include <string_view>
#include <utility>

namespace orvello {

namespace {

constexpr std::u16string_view kSelectTriggerText = u"Select Trigger";
constexpr std::u16string_view kPressKeysText = u"Press keys...";

constexpr std::u16string_view kSameTriggerNotice =
    u"The command trigger matches the main trigger.\n\n"
    u"Both dictation and commands will use the same key \u2014 Orvello will try commands first, "
    u"then fall back to text injection.\n\n"
    u"To use split mode (commands and dictation on separate keys), set a different key "
    u"combination here.";

}  // namespace

bool commandTriggerOverlapsDictation(const TriggerDefinition& command,
                                     const TriggerDefinition& dictation) {
    if (command.keys != dictation.keys) return false;
    return command.anyKeyboard || dictation.anyKeyboard || command.deviceId == dictation.deviceId;
}

CommandsDialogTriggerCapture::CommandsDialogTriggerCapture(TriggerDefinition commandTrigger,
                                                           TriggerDefinition dictationTrigger,
                                                           bool captureAnyKeyboard,
                                                           CommandsDialogCaptureHost& host,
                                                           MessagePresenter& messages)
    : commandTrigger_(std::move(commandTrigger)),
      dictationTrigger_(std::move(dictationTrigger)),
      captureAnyKeyboard_(captureAnyKeyboard),
      host_(host),
      messages_(messages),
      capture_(*this) {}

void CommandsDialogTriggerCapture::onSelectTrigger() {
    if (capture_.isCapturing()) {
        capture_.cancel();
    } else {
        capture_.start(captureAnyKeyboard_);
    }
}

void CommandsDialogTriggerCapture::captureStarted() {
    host_.setSelectTriggerText(kPressKeysText);
    host_.updateButtonStates();
}

void CommandsDialogTriggerCapture::captureCancelled() {
    host_.setSelectTriggerText(kSelectTriggerText);
    host_.updateButtonStates();
}

void CommandsDialogTriggerCapture::captureFinished(TriggerDefinition trigger) {
    commandTrigger_ = std::move(trigger);
    host_.setSelectTriggerText(kSelectTriggerText);
    capture_.refreshDisplay();
    host_.updateButtonStates();
    // The trigger is kept: the program then runs in unified mode.
    if (commandTriggerOverlapsDictation(commandTrigger_, dictationTrigger_)) {
        messages_.showMessage(MessageIcon::Information, kSameTriggerNotice);
    }
}

}  // namespace orvello
