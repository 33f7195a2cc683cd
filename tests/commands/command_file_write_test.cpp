#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "commands/command_file_format.h"

namespace orvello {
namespace {

std::string CrLfLines(std::initializer_list<std::string_view> lines) {
    std::string text;
    for (std::string_view line : lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

VoiceCommand ChordCommand() {
    VoiceCommand command;
    command.phrase = u"Mute";
    command.steps = {KeyStep{.ctrl = true, .shift = true, .vk = 77}, KeyStep{}};
    return command;
}

VoiceCommand DisabledRunAppWithLeftoverSystemCommand() {
    VoiceCommand command;
    command.phrase = u"Notepad|Editor";
    command.enabled = false;
    command.type = ActionType::RunApp;
    command.app_path = u"C:\\Windows\\notepad.exe";
    command.app_args = u"/A x.txt";
    command.sys_cmd_id = SystemCommandId::OpenEmailClient;
    command.sys_cmd_arg = u"a@b.c";
    return command;
}

std::vector<VoiceCommand> OneCommandOfEveryType() {
    VoiceCommand chord = MakeNewVoiceCommand();
    chord.phrase = u"copy";
    chord.steps[0] = KeyStep{.ctrl = true, .vk = 0x43};
    VoiceCommand sequence;
    sequence.phrase = u"sign off|bye";
    sequence.type = ActionType::KeySequence;
    sequence.steps = {KeyStep{.alt = true, .win = true, .vk = 0x25}, KeyStep{.vk = 0xFFFF},
                      KeyStep{.shift = true}};
    VoiceCommand insert;
    insert.phrase = u"date line";
    insert.type = ActionType::InsertText;
    insert.text_body = u"Today is {date}, {time}.\r\n\tQuote: \"{clipboard}\" \\ 100%";
    VoiceCommand system;
    system.phrase = u"browser";
    system.type = ActionType::SysCommand;
    system.sys_cmd_id = SystemCommandId::OpenBrowser;
    system.sys_cmd_arg = u"https://example.org/?q=a&b=c";
    VoiceCommand unknown;
    unknown.phrase = u"odd";
    unknown.type = static_cast<ActionType>(-7);
    unknown.sys_cmd_id = static_cast<SystemCommandId>(99);
    unknown.steps = {KeyStep{.vk = 0x41}};
    return {chord, sequence, DisabledRunAppWithLeftoverSystemCommand(), insert, system, unknown};
}

TEST(CommandFileWriteTest, EmptyListIsTheTwoCharactersOfAnEmptyArray) {
    EXPECT_EQ(FormatCommandFile({}), "[]");
}

TEST(CommandFileWriteTest, WritesSortedKeysTwoSpaceIndentAndCrLf) {
    const std::string expected = CrLfLines({
        "[",
        "  {",
        "    \"app_args\": \"\",",
        "    \"app_path\": \"\",",
        "    \"enabled\": true,",
        "    \"phrase\": \"Mute\",",
        "    \"steps\": [",
        "      {",
        "        \"mod_alt\": false,",
        "        \"mod_ctrl\": true,",
        "        \"mod_shift\": true,",
        "        \"mod_win\": false,",
        "        \"vk\": 77",
        "      },",
        "      {",
        "        \"mod_alt\": false,",
        "        \"mod_ctrl\": false,",
        "        \"mod_shift\": false,",
        "        \"mod_win\": false,",
        "        \"vk\": 0",
        "      }",
        "    ],",
        "    \"sys_cmd_arg\": \"\",",
        "    \"sys_cmd_id\": 0,",
        "    \"text_body\": \"\",",
        "    \"type\": 0",
        "  },",
        "  {",
        "    \"app_args\": \"/A x.txt\",",
        "    \"app_path\": \"C:\\\\Windows\\\\notepad.exe\",",
        "    \"enabled\": false,",
        "    \"phrase\": \"Notepad|Editor\",",
        "    \"steps\": [],",
        "    \"sys_cmd_arg\": \"a@b.c\",",
        "    \"sys_cmd_id\": 9,",
        "    \"text_body\": \"\",",
        "    \"type\": 2",
        "  }",
        "]",
    });
    EXPECT_EQ(FormatCommandFile({ChordCommand(), DisabledRunAppWithLeftoverSystemCommand()}),
              expected);
}

TEST(CommandFileWriteTest, EveryLineBreakIsCrLfAndTheFileEndsAtTheBracket) {
    const std::string text = FormatCommandFile(OneCommandOfEveryType());
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '\n') {
            EXPECT_EQ(text[index - 1], '\r') << "at byte " << index;
        }
        if (text[index] == '\r') {
            EXPECT_EQ(text[index + 1], '\n') << "at byte " << index;
        }
    }
    EXPECT_EQ(text.front(), '[');
    EXPECT_EQ(text.back(), ']');
}

TEST(CommandFileWriteTest, EveryActionTypeSurvivesWriteAndRead) {
    const std::vector<VoiceCommand> commands = OneCommandOfEveryType();
    const CommandFileLoadResult loaded = ParseCommandFile(FormatCommandFile(commands));
    EXPECT_EQ(loaded.status, CommandFileLoadStatus::Loaded);
    EXPECT_TRUE(loaded.loadError.empty());
    EXPECT_EQ(loaded.commands, commands);
}

TEST(CommandFileWriteTest, NewCommandKeepsItsEmptyStepAndEmptyListStaysEmpty) {
    VoiceCommand withoutSteps;
    withoutSteps.type = ActionType::KeySequence;
    const std::vector<VoiceCommand> commands = {MakeNewVoiceCommand(), withoutSteps};
    const std::string text = FormatCommandFile(commands);
    EXPECT_NE(text.find("\"steps\": [],"), std::string::npos);
    const CommandFileLoadResult loaded = ParseCommandFile(text);
    ASSERT_EQ(loaded.commands.size(), 2u);
    ASSERT_EQ(loaded.commands[0].steps.size(), 1u);
    EXPECT_TRUE(loaded.commands[0].steps[0].IsEmpty());
    EXPECT_TRUE(loaded.commands[1].steps.empty());
}

TEST(CommandFileWriteTest, NonAsciiIsWrittenAsRawUtf8AndReadBackUnchanged) {
    VoiceCommand command;
    command.phrase = u"\u00D6ffne Gr\u00F6\u00DFe|\u65E5\u672C|\U0001F600 go";
    command.text_body = u"caf\u00E9 \u2014 \u0416";
    const std::string text = FormatCommandFile({command});
    EXPECT_NE(text.find("\"\xC3\x96"
                        "ffne Gr\xC3\xB6\xC3\x9F"
                        "e|\xE6\x97\xA5\xE6\x9C\xAC|"
                        "\xF0\x9F\x98\x80 go\""),
              std::string::npos);
    EXPECT_EQ(text.find("\\u"), std::string::npos);
    EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(ParseCommandFile(text).commands, std::vector<VoiceCommand>{command});
}

TEST(CommandFileWriteTest, QuotesBackslashesAndControlCharactersAreEscaped) {
    VoiceCommand command;
    command.text_body = u"say \"hi\"\\\n\t\x01";
    const std::string text = FormatCommandFile({command});
    EXPECT_NE(text.find(R"("text_body": "say \"hi\"\\\n\t\u0001")"), std::string::npos);
    EXPECT_EQ(ParseCommandFile(text).commands, std::vector<VoiceCommand>{command});
}

TEST(CommandFileWriteTest, UnpairedSurrogateIsWrittenAsReplacementCharacter) {
    VoiceCommand command;
    command.phrase = std::u16string{u'x', 0xD800, u'y'};
    const CommandFileLoadResult loaded = ParseCommandFile(FormatCommandFile({command}));
    ASSERT_EQ(loaded.commands.size(), 1u);
    EXPECT_EQ(loaded.commands[0].phrase, (std::u16string{u'x', 0xFFFD, u'y'}));
}

TEST(CommandFileWriteTest, ExtremeIntegersSurviveWriteAndRead) {
    VoiceCommand command;
    command.type = static_cast<ActionType>(INT32_MIN);
    command.sys_cmd_id = static_cast<SystemCommandId>(INT32_MAX);
    command.steps = {KeyStep{.vk = 0xFFFF}};
    const std::string text = FormatCommandFile({command});
    EXPECT_NE(text.find("\"type\": -2147483648"), std::string::npos);
    EXPECT_NE(text.find("\"vk\": 65535"), std::string::npos);
    EXPECT_EQ(ParseCommandFile(text).commands, std::vector<VoiceCommand>{command});
}

}  // namespace
}  // namespace orvello
