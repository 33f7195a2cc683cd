#include "app/dictation_router.h"

#include <initializer_list>

#include "commands/phrase_matching.h"

namespace orvello {
namespace {

constexpr std::u16string_view kLineEnd = u"\r\n";

// The prefixes of a successful command's log line, by the trigger that made the recording.
constexpr std::u16string_view kUnifiedCommandPrefix = u"[Command: ";
constexpr std::u16string_view kCommandTriggerPrefix = u"[Cmd trigger | Command: ";

std::u16string Line(std::initializer_list<std::u16string_view> parts) {
    std::u16string line;
    for (std::u16string_view part : parts) line += part;
    line += kLineEnd;
    return line;
}

// Nothing is executed, typed or sounded: the log says what would have happened, with the text
// as it would have been typed.
void DescribeOnly(std::u16string_view text, std::u16string_view trimmed, bool split,
                  const RoutingState& state, RoutingPlatform& platform) {
    if (split && !state.recordingIsCommand) {
        platform.AppendLog(Line({u"[Main trigger | Text: ", state.replacements.Apply(text), u"]"}));
        return;
    }
    const VoiceCommand* command = state.commands.FindCommand(trimmed);
    if (!split) {
        platform.AppendLog(command ? Line({kUnifiedCommandPrefix, command->phrase, u"]"})
                                   : Line({u"[Text: ", state.replacements.Apply(text), u"]"}));
        return;
    }
    platform.AppendLog(command ? Line({kCommandTriggerPrefix, command->phrase, u"]"})
                               : Line({u"[Cmd trigger | No command: \"", trimmed, u"\"]"}));
}

// The sound starts first, so that it confirms the match even while a slow action runs.
ResultOutcome RunCommand(const VoiceCommand& command, std::u16string_view successPrefix,
                         RoutingPlatform& platform) {
    platform.PlayCommandSound();
    std::u16string errorText;
    if (platform.ExecuteCommand(command, errorText)) {
        platform.AppendLog(Line({successPrefix, command.phrase, u"]"}));
        return ResultOutcome::Ran;
    }
    platform.AppendLog(Line({errorText}));
    return ResultOutcome::CommandFailed;
}

// Replacements left nothing of the text: nothing is typed, which is no failure.
ResultOutcome Type(std::u16string_view text, const RoutingState& state, RoutingPlatform& platform) {
    const std::u16string dictated = state.replacements.Apply(text);
    const TypingOptions& options = state.typing;
    if (dictated.empty()) return options.usePaste ? ResultOutcome::Pasted : ResultOutcome::Typed;
    const std::u16string typed = TextToType(dictated, options);
    const bool injected = options.usePaste ? platform.PasteText(typed) : platform.TypeText(typed);
    if (!injected) {
        platform.AppendLog(u"Text injection failed.\r\n");
        return ResultOutcome::TypingFailed;
    }
    return options.usePaste ? ResultOutcome::Pasted : ResultOutcome::Typed;
}

ResultOutcome RouteUnified(std::u16string_view text, std::u16string_view trimmed,
                           const RoutingState& state, RoutingPlatform& platform) {
    if (const VoiceCommand* command = state.commands.FindCommand(trimmed)) {
        return RunCommand(*command, kUnifiedCommandPrefix, platform);
    }
    return Type(text, state, platform);
}

// A command-trigger recording never types, even when no command matches.
ResultOutcome RouteCommandRecording(std::u16string_view trimmed, const RoutingState& state,
                                    RoutingPlatform& platform) {
    if (const VoiceCommand* command = state.commands.FindCommand(trimmed)) {
        return RunCommand(*command, kCommandTriggerPrefix, platform);
    }
    platform.AppendLog(Line({u"[No command: \"", trimmed, u"\"]"}));
    return ResultOutcome::NoCommand;
}

// Output goes to the window in front only once the keys of the trigger that made the recording
// are up, so that none of them joins a typed key or a command's chord.
void WaitForTheTriggerKeysUp(const RoutingState& state, RoutingPlatform& platform) {
    const TriggerDefinition& trigger =
        state.recordingIsCommand ? state.commandTrigger : state.dictationTrigger;
    if (!platform.WaitForKeysUp(trigger.keys)) {
        platform.AppendLog(u"[A trigger key was still held]\r\n");
    }
}

}  // namespace

std::u16string TextToType(std::u16string_view text, const TypingOptions& options) {
    std::u16string typed(text);
    if (options.appendSpace) typed += u' ';
    if (options.appendNewline) typed += kLineEnd;
    return typed;
}

std::optional<RoutedResult> RouteRecognizedText(std::u16string_view text, const RoutingState& state,
                                                RoutingPlatform& platform) {
    if (text.empty()) return std::nullopt;
    const bool testMode = platform.IsTestMode();
    // Lookups use the trimmed text; typing and the text lines use the text as received.
    const std::u16string_view trimmed = TrimCommandWhitespace(text);
    const bool split = isSplitMode(state.dictationTrigger, state.commandTrigger);
    ResultOutcome outcome = ResultOutcome::HeldBack;
    if (testMode) {
        DescribeOnly(text, trimmed, split, state, platform);
    } else {
        WaitForTheTriggerKeysUp(state, platform);
        if (!split) {
            outcome = RouteUnified(text, trimmed, state, platform);
        } else if (state.recordingIsCommand) {
            outcome = RouteCommandRecording(trimmed, state, platform);
        } else {
            outcome = Type(text, state, platform);
        }
    }
    return RoutedResult{outcome, std::u16string(trimmed)};
}

}  // namespace orvello
