// Routing of recognised texts against a platform that notes each action in order, with the real
// command list, phrase matching and trigger definitions.
#include "app/dictation_router.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace orvello {
namespace {

class RecordingPlatform final : public RoutingPlatform {
public:
    bool testMode = false;
    bool commandSucceeds = true;
    std::u16string commandError = u"No application path set.";
    bool injectionSucceeds = true;
    bool keysComeUp = true;
    // Every action as "what: argument", in the order it happened.
    std::vector<std::u16string> actions;
    // The keys of each wait for keys to be up, and how many actions had happened before it.
    std::vector<std::vector<ModifierKey>> waitedFor;
    std::vector<std::size_t> actionsBeforeWait;

    bool IsTestMode() override { return testMode; }
    bool ExecuteCommand(const VoiceCommand& command, std::u16string& errorText) override {
        actions.push_back(u"execute: " + command.phrase);
        if (!commandSucceeds) errorText = commandError;
        return commandSucceeds;
    }
    void PlayCommandSound() override { actions.push_back(u"sound"); }
    bool TypeText(std::u16string_view text) override {
        actions.push_back(u"type: " + std::u16string(text));
        return injectionSucceeds;
    }
    bool PasteText(std::u16string_view text) override {
        actions.push_back(u"paste: " + std::u16string(text));
        return injectionSucceeds;
    }
    void AppendLog(std::u16string_view line) override {
        actions.push_back(u"log: " + std::u16string(line));
    }
    bool WaitForKeysUp(std::span<const ModifierKey> keys) override {
        waitedFor.emplace_back(keys.begin(), keys.end());
        actionsBeforeWait.push_back(actions.size());
        return keysComeUp;
    }
};

using Actions = std::vector<std::u16string>;

VoiceCommand Command(std::u16string phrase, bool enabled = true) {
    VoiceCommand command;
    command.phrase = std::move(phrase);
    command.enabled = enabled;
    return command;
}

class DictationRouterTest : public testing::Test {
protected:
    DictationRouterTest() {
        dictationTrigger.keys = {ModifierKey::RightCtrl};
        commands.ReplaceCommands(
            {Command(u"copy|copy to clipboard"), Command(u"next track"), Command(u"paste", false)});
    }

    // A command trigger of its own: one trigger types, the other runs commands.
    void UseSplitMode(bool commandTriggerRecording) {
        commandTrigger.keys = {ModifierKey::RightAlt};
        recordingIsCommand = commandTriggerRecording;
    }

    std::optional<RoutedResult> Route(std::u16string_view text) {
        return RouteRecognizedText(
            text,
            {dictationTrigger, commandTrigger, recordingIsCommand, commands, replacements, typing},
            platform);
    }

    TriggerDefinition dictationTrigger;
    TriggerDefinition commandTrigger;
    bool recordingIsCommand = false;
    CommandStore commands;
    ReplacementStore replacements;
    TypingOptions typing;
    RecordingPlatform platform;
};

TEST_F(DictationRouterTest, EmptyTextIsIgnoredInEveryMode) {
    Route(u"");
    platform.testMode = true;
    Route(u"");
    UseSplitMode(true);
    Route(u"");
    EXPECT_TRUE(platform.actions.empty());
}

// In test mode nothing is executed, typed or sounded; only the log line is written.

TEST_F(DictationRouterTest, TestModeUnifiedLogsTheMatchedPhraseWithAllItsAlternatives) {
    platform.testMode = true;
    Route(u"Copy.");
    EXPECT_EQ(platform.actions, Actions{u"log: [Command: copy|copy to clipboard]\r\n"});
}

TEST_F(DictationRouterTest, TestModeUnifiedWithoutCommandLogsTheTextAsReceived) {
    platform.testMode = true;
    Route(u" Hello world \r\n");
    Route(u"paste");  // disabled commands do not match
    EXPECT_EQ(platform.actions,
              (Actions{u"log: [Text:  Hello world \r\n]\r\n", u"log: [Text: paste]\r\n"}));
}

TEST_F(DictationRouterTest, TestModeCommandTriggerLogsTheCommandOrTheTrimmedText) {
    platform.testMode = true;
    UseSplitMode(true);
    Route(u"  Next track!");
    Route(u"\r\n\t open the pod bay doors \t\r\n");
    EXPECT_EQ(platform.actions,
              (Actions{u"log: [Cmd trigger | Command: next track]\r\n",
                       u"log: [Cmd trigger | No command: \"open the pod bay doors\"]\r\n"}));
}

TEST_F(DictationRouterTest, TestModeDictationTriggerLogsTheTextWithoutLookingForCommands) {
    platform.testMode = true;
    UseSplitMode(false);
    Route(u" copy. ");
    EXPECT_EQ(platform.actions, Actions{u"log: [Main trigger | Text:  copy. ]\r\n"});
}

// Nothing reaches the window in front before the keys of the trigger that made the recording are
// up, or a second has passed, which is logged; in test mode nothing is sent, so nothing waits.
TEST_F(DictationRouterTest, OutputWaitsForTheKeysOfTheRecordingsTrigger) {
    const std::vector<ModifierKey> dictationKeys{ModifierKey::RightCtrl};
    const std::vector<ModifierKey> commandKeys{ModifierKey::RightAlt};
    struct Case {
        bool split, commandRecording, keysComeUp;
        std::u16string text;
        std::vector<ModifierKey> keys;
        Actions actions;
    };
    const Case cases[] = {
        {false, false, true, u"hello", dictationKeys, {u"type: hello"}},
        {true, false, true, u"hello", dictationKeys, {u"type: hello"}},
        {true,
         true,
         true,
         u"next track",
         commandKeys,
         {u"sound", u"execute: next track", u"log: [Cmd trigger | Command: next track]\r\n"}},
        {true,
         true,
         false,
         u"next track",
         commandKeys,
         {u"log: [A trigger key was still held]\r\n", u"sound", u"execute: next track",
          u"log: [Cmd trigger | Command: next track]\r\n"}},
    };
    for (const Case& c : cases) {
        platform = RecordingPlatform{};
        platform.keysComeUp = c.keysComeUp;
        commandTrigger = {};
        if (c.split) UseSplitMode(c.commandRecording);
        Route(c.text);
        EXPECT_EQ(platform.waitedFor, std::vector<std::vector<ModifierKey>>{c.keys});
        EXPECT_EQ(platform.actionsBeforeWait, std::vector<std::size_t>{0});
        EXPECT_EQ(platform.actions, c.actions);
    }
    platform = RecordingPlatform{};
    platform.testMode = true;
    Route(u"hello");
    EXPECT_TRUE(platform.waitedFor.empty());
}

// Unified mode: commands first, otherwise the text is typed.

TEST_F(DictationRouterTest, MatchedCommandRunsAfterTheSoundStartsAndIsLogged) {
    typing.appendSpace = true;
    Route(u"Copy.");
    EXPECT_EQ(platform.actions, (Actions{u"sound", u"execute: copy|copy to clipboard",
                                         u"log: [Command: copy|copy to clipboard]\r\n"}));
}

TEST_F(DictationRouterTest, FailedCommandLogsOnlyItsErrorAndTypesNothing) {
    platform.commandSucceeds = false;
    Route(u"copy to clipboard");
    platform.commandError = u"";
    Route(u"copy");
    EXPECT_EQ(platform.actions, (Actions{u"sound", u"execute: copy|copy to clipboard",
                                         u"log: No application path set.\r\n", u"sound",
                                         u"execute: copy|copy to clipboard", u"log: \r\n"}));
}

TEST_F(DictationRouterTest, UnmatchedTextIsTypedAsReceivedWithoutALogLine) {
    Route(u" Hello world ");
    Route(u"paste");
    EXPECT_EQ(platform.actions, (Actions{u"type:  Hello world ", u"type: paste"}));
}

TEST_F(DictationRouterTest, TypedTextGetsTheSpaceFirstThenCrLf) {
    typing.appendSpace = true;
    Route(u"hello");
    typing.appendNewline = true;
    Route(u"hello");
    typing.appendSpace = false;
    Route(u"hello");
    EXPECT_EQ(platform.actions,
              (Actions{u"type: hello ", u"type: hello \r\n", u"type: hello\r\n"}));
}

TEST_F(DictationRouterTest, UsePasteSendsTheSameTextThroughTheClipboard) {
    typing = {.appendSpace = true, .appendNewline = true, .usePaste = true};
    Route(u"hello");
    EXPECT_EQ(platform.actions, Actions{u"paste: hello \r\n"});
}

TEST_F(DictationRouterTest, FailedTypingOrPastingIsLogged) {
    platform.injectionSucceeds = false;
    Route(u"hello");
    typing.usePaste = true;
    Route(u"hello");
    EXPECT_EQ(platform.actions, (Actions{u"type: hello", u"log: Text injection failed.\r\n",
                                         u"paste: hello", u"log: Text injection failed.\r\n"}));
}

TEST_F(DictationRouterTest, CommandTriggerEqualToTheDictationTriggerMeansUnifiedMode) {
    commandTrigger = dictationTrigger;
    recordingIsCommand = true;
    Route(u"hello");
    Route(u"next track");
    EXPECT_EQ(platform.actions, (Actions{u"type: hello", u"sound", u"execute: next track",
                                         u"log: [Command: next track]\r\n"}));
}

// Split mode: the command trigger only runs commands, the dictation trigger only types.

TEST_F(DictationRouterTest, CommandTriggerRecordingRunsTheCommand) {
    UseSplitMode(true);
    Route(u"next track.");
    EXPECT_EQ(platform.actions, (Actions{u"sound", u"execute: next track",
                                         u"log: [Cmd trigger | Command: next track]\r\n"}));
}

TEST_F(DictationRouterTest, CommandTriggerRecordingLogsAFailedCommandsError) {
    UseSplitMode(true);
    platform.commandSucceeds = false;
    Route(u"next track");
    EXPECT_EQ(platform.actions,
              (Actions{u"sound", u"execute: next track", u"log: No application path set.\r\n"}));
}

TEST_F(DictationRouterTest, CommandTriggerRecordingWithoutCommandTypesNothing) {
    UseSplitMode(true);
    typing.appendSpace = true;
    Route(u"\t say what \r\n");
    Route(u"paste");
    EXPECT_EQ(platform.actions, (Actions{u"log: [No command: \"say what\"]\r\n",
                                         u"log: [No command: \"paste\"]\r\n"}));
}

TEST_F(DictationRouterTest, DictationTriggerRecordingTypesEvenACommandPhrase) {
    UseSplitMode(false);
    typing.appendSpace = true;
    Route(u"copy.");
    platform.injectionSucceeds = false;
    Route(u"next track");
    EXPECT_EQ(platform.actions,
              (Actions{u"type: copy. ", u"type: next track ", u"log: Text injection failed.\r\n"}));
}

// What the history is told: the trimmed text and what became of it.
TEST_F(DictationRouterTest, EachRouteReportsWhatBecameOfTheTrimmedText) {
    const struct {
        bool testMode, split, commandRecording, usePaste, succeeds;
        std::u16string_view text;
        RoutedResult expected;
    } cases[] = {
        {false, false, false, false, true, u" hello ", {ResultOutcome::Typed, u"hello"}},
        {false, false, false, true, true, u"hello", {ResultOutcome::Pasted, u"hello"}},
        {false, false, false, false, false, u"hello", {ResultOutcome::TypingFailed, u"hello"}},
        {false, false, false, false, true, u"Copy.", {ResultOutcome::Ran, u"Copy."}},
        {false, false, false, false, false, u"copy", {ResultOutcome::CommandFailed, u"copy"}},
        {false, true, true, false, true, u"hello", {ResultOutcome::NoCommand, u"hello"}},
        {false, true, true, false, true, u"next track", {ResultOutcome::Ran, u"next track"}},
        {false, true, false, true, false, u"copy", {ResultOutcome::TypingFailed, u"copy"}},
        {true, false, false, false, true, u"\thello\r\n", {ResultOutcome::HeldBack, u"hello"}},
        {true, true, true, false, true, u"next track", {ResultOutcome::HeldBack, u"next track"}},
    };
    for (const auto& c : cases) {
        platform.testMode = c.testMode;
        commandTrigger.keys.clear();
        if (c.split) commandTrigger.keys = {ModifierKey::RightAlt};
        recordingIsCommand = c.commandRecording;
        typing.usePaste = c.usePaste;
        platform.injectionSucceeds = platform.commandSucceeds = c.succeeds;
        EXPECT_EQ(Route(c.text), c.expected) << int(&c - cases);
    }
    EXPECT_EQ(Route(u""), std::nullopt);
}

TEST_F(DictationRouterTest, ModeFollowsTheTriggersAsTheyAreWhenTheTextArrives) {
    UseSplitMode(true);
    Route(u"hello");
    commandTrigger = {};  // the user cleared the command trigger
    Route(u"hello");
    EXPECT_EQ(platform.actions, (Actions{u"log: [No command: \"hello\"]\r\n", u"type: hello"}));
}

// Replacements change what is dictated, before "Add Space", and never what a command is matched
// against; in test mode the log shows the text as it would be typed.
TEST_F(DictationRouterTest, ReplacementsChangeDictatedTextOnly) {
    replacements.ReplaceReplacements(
        {{u"copy", u"Copy"}, {u"orvello", u"Orvello"}, {u"um", u""}, {u"next", u"previous"}});
    typing.appendSpace = true;
    Route(u"hello orvello.");
    Route(u"um");
    Route(u"next track");
    UseSplitMode(false);
    Route(u"copy");
    platform.testMode = true;
    Route(u"orvello");
    EXPECT_EQ(platform.actions, (Actions{u"type: hello Orvello. ", u"sound", u"execute: next track",
                                         u"log: [Command: next track]\r\n", u"type: Copy ",
                                         u"log: [Main trigger | Text: Orvello]\r\n"}));
}

}  // namespace
}  // namespace orvello
