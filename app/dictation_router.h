#pragma once
// What becomes of a recognised text: run as a voice command, typed, or, while Orvello's own
// window is in front, only described in the log so that triggers, recognition and phrases can be
// tried out without side effects.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "commands/command_store.h"
#include "commands/voice_command.h"
#include "history/result_history.h"
#include "replacements/replacement_store.h"
#include "trigger/trigger_definition.h"

namespace orvello {

// The actions routing takes; on Windows the foreground-window queries, command execution, the
// command sound, text output and the main window's log area.
class RoutingPlatform {
public:
    virtual ~RoutingPlatform() = default;

    // True while the main window is visible and it, or one of its descendants, is the foreground
    // window.
    [[nodiscard]] virtual bool IsTestMode() = 0;
    // Runs the command's action; on failure errorText holds a one-line reason (possibly empty).
    [[nodiscard]] virtual bool ExecuteCommand(const VoiceCommand& command,
                                              std::u16string& errorText) = 0;
    // Starts the confirmation sound and returns at once.
    virtual void PlayCommandSound() = 0;
    [[nodiscard]] virtual bool TypeText(std::u16string_view text) = 0;
    [[nodiscard]] virtual bool PasteText(std::u16string_view text) = 0;
    // Appends a line that already ends in "\r\n".
    virtual void AppendLog(std::u16string_view line) = 0;
    // Waits until none of the keys is physically held, at most a second (key_release_wait.h);
    // false when one still was.
    [[nodiscard]] virtual bool WaitForKeysUp(std::span<const ModifierKey> keys) = 0;
};

// The typing options as their check boxes are set now.
struct TypingOptions {
    bool appendSpace = false;
    bool appendNewline = false;
    bool usePaste = false;
};

// The main window's state that routing reads, as it is when the text arrives.
struct RoutingState {
    const TriggerDefinition& dictationTrigger;
    const TriggerDefinition& commandTrigger;
    // True when the command trigger started the latest recording.
    bool recordingIsCommand;
    const CommandStore& commands;
    // Applied to dictated text only, before it is typed or logged; commands see the text as
    // recognised.
    const ReplacementStore& replacements;
    TypingOptions typing;
};

// The text as typed: the text as received, then one space if appendSpace, then CR LF if
// appendNewline.
[[nodiscard]] std::u16string TextToType(std::u16string_view text, const TypingOptions& options);

// What became of a routed text, for the history: the text with its surrounding space, tab, CR
// and LF removed.
struct RoutedResult {
    ResultOutcome outcome;
    std::u16string text;

    friend bool operator==(const RoutedResult&, const RoutedResult&) = default;
};

// Routes one recognised text; an empty text does nothing and gives nothing. Dictated text goes
// through the replacements first; when they leave nothing of it, nothing is typed. Keeps no state
// of its own.
std::optional<RoutedResult> RouteRecognizedText(std::u16string_view text, const RoutingState& state,
                                                RoutingPlatform& platform);

}  // namespace orvello
