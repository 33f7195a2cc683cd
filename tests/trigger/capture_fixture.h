#pragma once
// Keys from two scripted keyboards through a real reader, and owner windows that write down
// everything a trigger capture tells them, in order, as readable lines.
#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/main_window_trigger_capture.h"
#include "dialogs/commands_dialog_trigger_capture.h"
#include "key_names.h"
#include "trigger/raw_keyboard_reader.h"
#include "trigger/trigger_capture.h"
#include "trigger_test_support.h"

namespace orvello::test {

inline constexpr DeviceHandle kKeyboardA = 0x10;
inline constexpr DeviceHandle kKeyboardB = 0x20;

inline constexpr char kPrompt[] = "Press Ctrl / Alt / Shift combination...";

inline std::string narrow(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

inline std::string keyList(std::span<const ModifierKey> keys) {
    std::string out;
    for (ModifierKey key : keys) {
        if (!out.empty()) out += ", ";
        out += narrow(modifierKeyDisplayText(key));
    }
    return out;
}

inline TriggerDefinition anyKeyboard(Keys keys) {
    return {std::move(keys), true, {}};
}
inline TriggerDefinition onKeyboard(Keys keys, std::u16string identity) {
    return {std::move(keys), false, std::move(identity)};
}

// The trigger display as lines "text <shown text>" and "keys <key names>".
class DisplayLog {
public:
    void text(std::u16string_view shown) {
        shownText = std::u16string(shown);
        calls.push_back("text " + narrow(shown));
    }
    void keys(std::span<const ModifierKey> shown) {
        shownKeys.assign(shown.begin(), shown.end());
        calls.push_back("keys " + keyList(shown));
    }
    void note(std::string line) { calls.push_back(std::move(line)); }
    void message(MessageIcon icon, std::u16string_view text) {
        messages.emplace_back(icon, std::u16string(text));
        calls.push_back(icon == MessageIcon::Exclamation ? "message exclamation"
                                                         : "message information");
    }
    // The lines since the last take, so each step of a test can be checked on its own.
    Calls take() { return std::exchange(calls, {}); }

    Calls calls;
    std::u16string shownText;
    Keys shownKeys;
    std::vector<std::pair<MessageIcon, std::u16string>> messages;
};

// Events decoded by a real reader from keyboards A and B (identities kIdentityA, kIdentityB).
class ScriptedKeyboards {
public:
    ScriptedKeyboards() {
        auto source = std::make_unique<FakeRawInputSource>();
        fake_ = source.get();
        fake_->addKeyboard(kKeyboardA, kNameA);
        fake_->addKeyboard(kKeyboardB, kNameB);
        reader_ = std::make_unique<RawKeyboardReader>(std::move(source));
    }

    // The event's strings view the reader's cache, which outlives every test step.
    KeyboardEvent event(DeviceHandle device, ModifierKey key, bool isDown) {
        const auto decoded = reader_->decode(fake_->queueRecord(recordFor(device, key, isDown)));
        EXPECT_TRUE(decoded);
        return decoded.value_or(KeyboardEvent{});
    }
    RawKeyboardReader& reader() { return *reader_; }

private:
    FakeRawInputSource* fake_ = nullptr;
    std::unique_ptr<RawKeyboardReader> reader_;
};

// A minimal owner: the trigger it shows while idle, and the triggers captures ended with.
class RecordingCaptureOwner final : public TriggerCaptureOwner {
public:
    const TriggerDefinition& ownerTrigger() const override { return trigger; }
    void showTriggerText(std::u16string_view text) override { log.text(text); }
    void showTriggerKeys(std::span<const ModifierKey> keys) override { log.keys(keys); }
    void captureStarted() override { log.note("started"); }
    void captureCancelled() override { log.note("cancelled"); }
    void captureFinished(TriggerDefinition result) override {
        log.note("finished " + narrow(triggerText(result)));
        finished.push_back(std::move(result));
    }

    TriggerDefinition trigger;
    std::vector<TriggerDefinition> finished;
    DisplayLog log;
};

// The main window's side: the "Use Multiple Keyboards" check box, saving and message boxes.
class RecordingMainWindow final : public MainWindowCaptureHost, public MessagePresenter {
public:
    bool useMultipleKeyboards() const override { return multipleKeyboards; }
    void setUseMultipleKeyboards(bool checked) override {
        multipleKeyboards = checked;
        log.note(checked ? "check multiple keyboards" : "uncheck multiple keyboards");
    }
    void saveDictationTrigger() override { log.note("save"); }
    void showTriggerText(std::u16string_view text) override { log.text(text); }
    void showTriggerKeys(std::span<const ModifierKey> keys) override { log.keys(keys); }
    void showMessage(MessageIcon icon, std::u16string_view text) override {
        log.message(icon, text);
    }

    bool multipleKeyboards = false;
    DisplayLog log;
};

// The commands dialog's side: the button text, the list buttons and message boxes. The list
// buttons are noted with the capture state they would be computed from.
class RecordingCommandsDialog final : public CommandsDialogCaptureHost, public MessagePresenter {
public:
    void setSelectTriggerText(std::u16string_view text) override {
        buttonText = std::u16string(text);
        log.note("button " + narrow(text));
    }
    void updateButtonStates() override {
        log.note(capture != nullptr && capture->isCapturing() ? "list buttons off"
                                                              : "list buttons on");
    }
    void showTriggerText(std::u16string_view text) override { log.text(text); }
    void showTriggerKeys(std::span<const ModifierKey> keys) override { log.keys(keys); }
    void showMessage(MessageIcon icon, std::u16string_view text) override {
        log.message(icon, text);
    }

    const CommandsDialogTriggerCapture* capture = nullptr;
    std::u16string buttonText = u"Select Trigger";
    DisplayLog log;
};

}  // namespace orvello::test
