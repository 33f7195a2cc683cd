#include <gtest/gtest.h>

#include <string>

#include "commands/command_file_format.h"

namespace orvello {
namespace {

// A literal with the NUL bytes inside it, without the terminating one.
template <std::size_t N>
std::string_view WholeLiteral(const char (&text)[N]) {
    return {text, N - 1};
}

// One command object around the given members, as a hand-edited file might hold it.
std::string FileWithCommand(std::string_view members) {
    return "[{" + std::string(members) + "}]";
}

void ExpectCorrupted(std::string_view fileBytes) {
    const CommandFileLoadResult result = ParseCommandFile(fileBytes);
    EXPECT_EQ(result.status, CommandFileLoadStatus::Corrupted) << fileBytes;
    EXPECT_TRUE(result.commands.empty()) << fileBytes;
    EXPECT_EQ(result.loadError, kCorruptedCommandFileMessage) << fileBytes;
    EXPECT_TRUE(result.FileWouldBeLostOnSave());
}

void ExpectQuietlyEmpty(std::string_view fileBytes) {
    const CommandFileLoadResult result = ParseCommandFile(fileBytes);
    EXPECT_EQ(result.status, CommandFileLoadStatus::NotAnArray) << fileBytes;
    EXPECT_TRUE(result.commands.empty()) << fileBytes;
    EXPECT_TRUE(result.loadError.empty()) << fileBytes;
}

VoiceCommand LoadSingle(std::string_view fileBytes) {
    const CommandFileLoadResult result = ParseCommandFile(fileBytes);
    EXPECT_EQ(result.status, CommandFileLoadStatus::Loaded) << fileBytes;
    EXPECT_TRUE(result.loadError.empty()) << fileBytes;
    EXPECT_EQ(result.commands.size(), 1u) << fileBytes;
    return result.commands.empty() ? VoiceCommand{} : result.commands[0];
}

TEST(CommandFileLoadTest, MessageIsWordForWord) {
    EXPECT_EQ(kCorruptedCommandFileMessage,
              u"Commands file is corrupted and could not be loaded. Your commands have been "
              u"cleared. The file will be overwritten the next time you save.");
}

TEST(CommandFileLoadTest, EmptyArrayLoadsNothingWithoutMessage) {
    const CommandFileLoadResult result = ParseCommandFile("[]");
    EXPECT_EQ(result.status, CommandFileLoadStatus::Loaded);
    EXPECT_TRUE(result.commands.empty());
    EXPECT_TRUE(result.loadError.empty());
    EXPECT_FALSE(result.FileWouldBeLostOnSave());
}

TEST(CommandFileLoadTest, TopLevelValueOtherThanArrayLoadsNothingWithoutMessage) {
    ExpectQuietlyEmpty("{}");
    ExpectQuietlyEmpty("{\"phrase\": \"save\", \"type\": 0}");
    ExpectQuietlyEmpty("\"[]\"");
    ExpectQuietlyEmpty("42");
    ExpectQuietlyEmpty("null");
    ExpectQuietlyEmpty("true");
}

TEST(CommandFileLoadTest, EmptyOrBrokenTextIsCorrupted) {
    ExpectCorrupted("");
    ExpectCorrupted("   \r\n");
    ExpectCorrupted("not json");
    ExpectCorrupted("[{\"phrase\": \"save\"}");    // truncated
    ExpectCorrupted("[{\"phrase\": \"save\"},]");  // trailing comma
    ExpectCorrupted("[] []");                      // two values
    ExpectCorrupted("// my commands\r\n[]");       // comments are not allowed
    ExpectCorrupted("[{\"phrase\": 'save'}]");     // single quotes
}

TEST(CommandFileLoadTest, NulByteEndsTheTextForTheParser) {
    // A file zero-filled by a failed write is corrupted; a NUL inside a string too.
    ExpectCorrupted(std::string(64, '\0'));
    ExpectCorrupted(WholeLiteral("[{\"phrase\": \"a\0b\"}]"));
    ExpectCorrupted(WholeLiteral("[{\"phrase\"\0: \"ab\"}]"));
    // After a complete value the parser stops at a NUL and ignores the rest.
    const CommandFileLoadResult result = ParseCommandFile(WholeLiteral("[]\0garbage"));
    EXPECT_EQ(result.status, CommandFileLoadStatus::Loaded);
    EXPECT_TRUE(result.loadError.empty());
}

TEST(CommandFileLoadTest, CtrlZEndsTheText) {
    const std::string command = "[{\"phrase\": \"save\", \"type\": 1}]";
    EXPECT_EQ(LoadSingle(command + "\r\n\x1A"), LoadSingle(command));
    EXPECT_EQ(LoadSingle(command + "\x1A[{\"phrase\": 5}] anything"), LoadSingle(command));
    ExpectCorrupted("[{\"phrase\": \"sa\x1Ave\"}]");  // cut inside the value
    ExpectCorrupted("\x1A" + command);
}

TEST(CommandFileLoadTest, InvalidUtf8OrEscapesAreCorrupted) {
    ExpectCorrupted(FileWithCommand("\"phrase\": \"caf\xE9\""));       // Latin-1 byte
    ExpectCorrupted(FileWithCommand("\"phrase\": \"\xC3\""));          // cut-off sequence
    ExpectCorrupted(FileWithCommand("\"phrase\": \"\xED\xA0\x80\""));  // encoded surrogate
    ExpectCorrupted(FileWithCommand(R"("phrase": "\ud800")"));         // lone surrogate escape
    ExpectCorrupted(FileWithCommand("\"phrase\": \"line\nbreak\""));   // raw control character
}

TEST(CommandFileLoadTest, EscapedCharactersAreDecoded) {
    const VoiceCommand command =
        LoadSingle(FileWithCommand(R"("phrase": "\u00d6ffnen|\ud83d\ude00", "text_body": "a\tb")"));
    EXPECT_EQ(command.phrase, u"\u00D6ffnen|\U0001F600");
    EXPECT_EQ(command.text_body, u"a\tb");
}

TEST(CommandFileLoadTest, ByteOrderMarkAndBothLineEndsAreAccepted) {
    const std::string lf = "[\n  {\n    \"phrase\": \"save\",\n    \"type\": 1\n  }\n]\n";
    const std::string crlf = "[\r\n  {\r\n    \"phrase\": \"save\",\r\n    \"type\": 1\r\n  }\r\n]";
    const VoiceCommand fromLf = LoadSingle(lf);
    EXPECT_EQ(fromLf.phrase, u"save");
    EXPECT_EQ(fromLf.type, ActionType::KeySequence);
    EXPECT_EQ(LoadSingle(crlf), fromLf);
    EXPECT_EQ(LoadSingle("\xEF\xBB\xBF" + crlf), fromLf);
    ExpectCorrupted("\xEF\xBB\xBF");    // a mark and nothing else
    ExpectCorrupted("\xEF\xBB[]");      // half a mark
    ExpectCorrupted("[]\xEF\xBB\xBF");  // a mark anywhere but the start
}

TEST(CommandFileLoadTest, MissingKeysTakeTheirDefaults) {
    const VoiceCommand command = LoadSingle("[{}]");
    EXPECT_EQ(command, VoiceCommand{});
    EXPECT_TRUE(command.enabled);
    EXPECT_EQ(command.type, ActionType::KeyChord);
    EXPECT_TRUE(command.steps.empty());
    const VoiceCommand withEmptyStep = LoadSingle(FileWithCommand("\"steps\": [{}]"));
    ASSERT_EQ(withEmptyStep.steps.size(), 1u);
    EXPECT_EQ(withEmptyStep.steps[0], KeyStep{});
}

TEST(CommandFileLoadTest, StepsThatAreNotAnArrayMeanNoSteps) {
    EXPECT_TRUE(LoadSingle(FileWithCommand("\"steps\": {}")).steps.empty());
    EXPECT_TRUE(LoadSingle(FileWithCommand("\"steps\": {\"vk\": 65}")).steps.empty());
    EXPECT_TRUE(LoadSingle(FileWithCommand("\"steps\": null")).steps.empty());
    EXPECT_TRUE(LoadSingle(FileWithCommand("\"steps\": \"ctrl+s\"")).steps.empty());
    EXPECT_TRUE(LoadSingle(FileWithCommand("\"steps\": 3")).steps.empty());
}

TEST(CommandFileLoadTest, UnknownKeysAreIgnoredAndNotWrittenBack) {
    const VoiceCommand command =
        LoadSingle(FileWithCommand("\"phrase\": \"go\", \"comment\": [1, {}], \"steps\": "
                                   "[{\"vk\": 65, \"scan\": 30}]"));
    EXPECT_EQ(command.phrase, u"go");
    ASSERT_EQ(command.steps.size(), 1u);
    EXPECT_EQ(command.steps[0].vk, 65);
    const std::string written = FormatCommandFile({command});
    EXPECT_EQ(written.find("comment"), std::string::npos);
    EXPECT_EQ(written.find("scan"), std::string::npos);
}

TEST(CommandFileLoadTest, UnknownTypeValuesAreKept) {
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": 7")).type, static_cast<ActionType>(7));
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": -1")).type, static_cast<ActionType>(-1));
    EXPECT_EQ(LoadSingle(FileWithCommand("\"sys_cmd_id\": 42")).sys_cmd_id,
              static_cast<SystemCommandId>(42));
}

TEST(CommandFileLoadTest, BooleanFieldsNeedJsonBooleans) {
    ExpectCorrupted(FileWithCommand("\"enabled\": 1"));
    ExpectCorrupted(FileWithCommand("\"enabled\": \"true\""));
    ExpectCorrupted(FileWithCommand("\"enabled\": null"));
    ExpectCorrupted(FileWithCommand("\"steps\": [{\"mod_ctrl\": 1}]"));
    ExpectCorrupted(FileWithCommand("\"steps\": [{\"mod_win\": null}]"));
    EXPECT_FALSE(LoadSingle(FileWithCommand("\"enabled\": false")).enabled);
    const KeyStep step =
        LoadSingle(FileWithCommand("\"steps\": [{\"mod_alt\": true, \"mod_win\": true}]")).steps[0];
    EXPECT_TRUE(step.alt);
    EXPECT_TRUE(step.win);
    EXPECT_FALSE(step.ctrl);
}

TEST(CommandFileLoadTest, StringFieldsNeedJsonStrings) {
    for (const char* key : {"phrase", "app_path", "app_args", "text_body", "sys_cmd_arg"}) {
        const std::string quoted = "\"" + std::string(key) + "\": ";
        ExpectCorrupted(FileWithCommand(quoted + "null"));
        ExpectCorrupted(FileWithCommand(quoted + "5"));
        ExpectCorrupted(FileWithCommand(quoted + "true"));
        ExpectCorrupted(FileWithCommand(quoted + "[\"a\"]"));
    }
}

TEST(CommandFileLoadTest, IntegerFieldsTakeNumbersAndBooleansButNotTextOrNull) {
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": true")).type, ActionType::KeySequence);
    EXPECT_EQ(LoadSingle(FileWithCommand("\"sys_cmd_id\": false")).sys_cmd_id,
              SystemCommandId::None);
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": 2.9")).type, ActionType::RunApp);
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": -2.9")).type, static_cast<ActionType>(-2));
    EXPECT_EQ(LoadSingle(FileWithCommand("\"sys_cmd_id\": 1e1")).sys_cmd_id,
              SystemCommandId::SetClipboardText);
    EXPECT_EQ(LoadSingle(FileWithCommand("\"steps\": [{\"vk\": true}]")).steps[0].vk, 1);
    EXPECT_EQ(LoadSingle(FileWithCommand("\"steps\": [{\"vk\": 65.7}]")).steps[0].vk, 65);
    for (const char* key : {"type", "sys_cmd_id"}) {
        const std::string quoted = "\"" + std::string(key) + "\": ";
        ExpectCorrupted(FileWithCommand(quoted + "\"1\""));
        ExpectCorrupted(FileWithCommand(quoted + "null"));
        ExpectCorrupted(FileWithCommand(quoted + "[1]"));
        ExpectCorrupted(FileWithCommand(quoted + "{}"));
    }
    ExpectCorrupted(FileWithCommand("\"steps\": [{\"vk\": \"65\"}]"));
    ExpectCorrupted(FileWithCommand("\"steps\": [{\"vk\": null}]"));
}

TEST(CommandFileLoadTest, IntegersOutOfRangeWrapToTheFieldWidth) {
    EXPECT_EQ(LoadSingle(FileWithCommand("\"steps\": [{\"vk\": 65601}]")).steps[0].vk, 65);
    EXPECT_EQ(LoadSingle(FileWithCommand("\"steps\": [{\"vk\": -1}]")).steps[0].vk, 65535);
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": 4294967301")).type, static_cast<ActionType>(5));
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": 18446744073709551615")).type,
              static_cast<ActionType>(-1));
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": 1e20")).type,
              static_cast<ActionType>(1661992960));
    EXPECT_EQ(LoadSingle(FileWithCommand("\"type\": -1e20")).type,
              static_cast<ActionType>(-1661992960));
    EXPECT_EQ(LoadSingle(FileWithCommand("\"sys_cmd_id\": 1e300")).sys_cmd_id,
              SystemCommandId::None);
    ExpectCorrupted(FileWithCommand("\"type\": 1e400"));  // beyond double: not a number
}

TEST(CommandFileLoadTest, ElementsAndStepsMustBeObjects) {
    ExpectCorrupted("[1]");
    ExpectCorrupted("[null]");
    ExpectCorrupted("[\"save\"]");
    ExpectCorrupted("[[]]");
    ExpectCorrupted(FileWithCommand("\"steps\": [1]"));
    ExpectCorrupted(FileWithCommand("\"steps\": [{}, null]"));
    ExpectCorrupted(FileWithCommand("\"steps\": [[]]"));
}

TEST(CommandFileLoadTest, OneBadCommandDiscardsTheGoodOnesBeforeIt) {
    ExpectCorrupted(
        "[{\"phrase\": \"save\", \"steps\": [{\"mod_ctrl\": true, \"vk\": 83}]},"
        " {\"phrase\": \"copy\"}, {\"phrase\": null}]");
    ExpectCorrupted("[{\"phrase\": \"save\"}, 7]");
}

TEST(CommandFileLoadTest, DeepNestingIsRefusedWithoutExhaustingTheStack) {
    const std::size_t depth = 200000;
    ExpectCorrupted(std::string(depth, '['));
    ExpectCorrupted(std::string(depth, '[') + std::string(depth, ']'));
    ExpectCorrupted(
        FileWithCommand("\"steps\": [" + std::string(depth, '[') + std::string(depth, ']') + "]"));
}

}  // namespace
}  // namespace orvello
