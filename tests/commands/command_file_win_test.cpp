// The command file end to end on Windows: where it lives, what a save writes to
// disk byte for byte, and what a load makes of the files it finds.

#include "commands/command_file_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "command_folder_fixture.h"
#include "text/utf_conversion.h"

namespace orvello {
namespace {

std::vector<VoiceCommand> OneCommandOfEachKind() {
    VoiceCommand chord;
    chord.phrase = u"copy that";
    chord.steps = {KeyStep{.ctrl = true, .vk = 0x43}};
    VoiceCommand sequence;
    sequence.phrase = u"sign off|bye";
    sequence.enabled = false;
    sequence.type = ActionType::KeySequence;
    sequence.steps = {KeyStep{.alt = true, .win = true, .vk = 0x25},
                      KeyStep{.shift = true, .vk = 0xFFFF}};
    VoiceCommand runApp;
    runApp.phrase = u"notepad";
    runApp.type = ActionType::RunApp;
    runApp.app_path = u"C:\\Windows\\notepad.exe";
    runApp.app_args = u"/A \"x y.txt\"";
    runApp.sys_cmd_id = SystemCommandId::OpenEmailClient;
    runApp.sys_cmd_arg = u"a@b.c";
    VoiceCommand insert;
    insert.phrase = u"Grüße|日本語|\U0001F600";
    insert.type = ActionType::InsertText;
    insert.text_body = u"Café {date}\r\n\t\"{clipboard}\" \\";
    VoiceCommand system;
    system.phrase = u"browser";
    system.type = ActionType::SysCommand;
    system.sys_cmd_id = SystemCommandId::OpenBrowser;
    system.sys_cmd_arg = u"https://example.org/?q=ä";
    VoiceCommand unknownWithoutSteps;
    unknownWithoutSteps.phrase = u"odd";
    unknownWithoutSteps.type = static_cast<ActionType>(7);
    return {chord, sequence, runApp, insert, system, unknownWithoutSteps, MakeNewVoiceCommand()};
}

// What OneCommandOfEachKind() must look like on disk.
const std::string kEachKindFileText = WithCrLf(R"json([
  {
    "app_args": "",
    "app_path": "",
    "enabled": true,
    "phrase": "copy that",
    "steps": [
      {
        "mod_alt": false,
        "mod_ctrl": true,
        "mod_shift": false,
        "mod_win": false,
        "vk": 67
      }
    ],
    "sys_cmd_arg": "",
    "sys_cmd_id": 0,
    "text_body": "",
    "type": 0
  },
  {
    "app_args": "",
    "app_path": "",
    "enabled": false,
    "phrase": "sign off|bye",
    "steps": [
      {
        "mod_alt": true,
        "mod_ctrl": false,
        "mod_shift": false,
        "mod_win": true,
        "vk": 37
      },
      {
        "mod_alt": false,
        "mod_ctrl": false,
        "mod_shift": true,
        "mod_win": false,
        "vk": 65535
      }
    ],
    "sys_cmd_arg": "",
    "sys_cmd_id": 0,
    "text_body": "",
    "type": 1
  },
  {
    "app_args": "/A \"x y.txt\"",
    "app_path": "C:\\Windows\\notepad.exe",
    "enabled": true,
    "phrase": "notepad",
    "steps": [],
    "sys_cmd_arg": "a@b.c",
    "sys_cmd_id": 9,
    "text_body": "",
    "type": 2
  },
  {
    "app_args": "",
    "app_path": "",
    "enabled": true,
    "phrase": "Grüße|日本語|😀",
    "steps": [],
    "sys_cmd_arg": "",
    "sys_cmd_id": 0,
    "text_body": "Café {date}\r\n\t\"{clipboard}\" \\",
    "type": 3
  },
  {
    "app_args": "",
    "app_path": "",
    "enabled": true,
    "phrase": "browser",
    "steps": [],
    "sys_cmd_arg": "https://example.org/?q=ä",
    "sys_cmd_id": 8,
    "text_body": "",
    "type": 4
  },
  {
    "app_args": "",
    "app_path": "",
    "enabled": true,
    "phrase": "odd",
    "steps": [],
    "sys_cmd_arg": "",
    "sys_cmd_id": 0,
    "text_body": "",
    "type": 7
  },
  {
    "app_args": "",
    "app_path": "",
    "enabled": true,
    "phrase": "",
    "steps": [
      {
        "mod_alt": false,
        "mod_ctrl": false,
        "mod_shift": false,
        "mod_win": false,
        "vk": 0
      }
    ],
    "sys_cmd_arg": "",
    "sys_cmd_id": 0,
    "text_body": "",
    "type": 0
  }
])json");

VoiceCommand CommandWithPhrase(std::u16string phrase) {
    VoiceCommand command = MakeNewVoiceCommand();
    command.phrase = std::move(phrase);
    return command;
}

// A store that already holds a command, so a load has something to replace.
CommandStore StoreHoldingOneCommand() {
    CommandStore store;
    store.ReplaceCommands({CommandWithPhrase(u"left over")});
    return store;
}

using CommandFileLocationTest = CommandFolderTest;

TEST_F(CommandFileLocationTest, PathIsInTheOrvelloFolderOfDocumentsWhichItCreates) {
    ASSERT_FALSE(Exists(Folder()));
    EXPECT_EQ(GetCommandFilePath(), CommandFile());
    EXPECT_TRUE(IsDirectory(Folder()));
    EXPECT_FALSE(Exists(CommandFile()));
    EXPECT_EQ(GetCommandFilePath(), CommandFile()) << "a second call finds the folder there";
}

TEST_F(CommandFileLocationTest, FirstStartWithoutFolderLoadsNothingQuietlyAndMakesTheFolder) {
    CommandStore store = StoreHoldingOneCommand();
    LoadCommands(store);
    EXPECT_TRUE(store.Commands().empty());
    EXPECT_TRUE(store.LoadError().empty());
    EXPECT_FALSE(store.NeedsBackupBeforeSave());
    EXPECT_TRUE(IsDirectory(Folder()));
    EXPECT_TRUE(FolderListing().empty()) << "loading writes no file";
}

using CommandFileRoundTripTest = CommandFolderTest;

TEST_F(CommandFileRoundTripTest, SavesEveryKindOfCommandInTheExactLayoutAndLoadsItBack) {
    CommandStore saved;
    saved.ReplaceCommands(OneCommandOfEachKind());
    ASSERT_TRUE(SaveCommands(saved));
    EXPECT_EQ(ReadFileBytes(CommandFile()), kEachKindFileText);
    EXPECT_EQ(FolderListing(), std::vector<std::wstring>{L"commands.kwx"});

    CommandStore loaded = StoreHoldingOneCommand();
    LoadCommands(loaded);
    EXPECT_EQ(loaded.Commands(), OneCommandOfEachKind());
    EXPECT_TRUE(loaded.LoadError().empty());
    EXPECT_FALSE(loaded.NeedsBackupBeforeSave());
}

TEST_F(CommandFileRoundTripTest, EmptyListIsWrittenAsTwoCharactersOverALongerFile) {
    CommandStore store;
    store.ReplaceCommands(OneCommandOfEachKind());
    ASSERT_TRUE(SaveCommands(store));
    store.ReplaceCommands({});
    ASSERT_TRUE(SaveCommands(store));
    EXPECT_EQ(ReadFileBytes(CommandFile()), "[]");

    CommandStore loaded = StoreHoldingOneCommand();
    LoadCommands(loaded);
    EXPECT_TRUE(loaded.Commands().empty());
    EXPECT_TRUE(loaded.LoadError().empty());
}

TEST_F(CommandFileRoundTripTest, NonAsciiPhraseIsStoredAsRawUtf8) {
    CommandStore store;
    store.ReplaceCommands({CommandWithPhrase(u"Ünïcödé ✓ \U0001F3B5")});
    ASSERT_TRUE(SaveCommands(store));
    const std::string bytes = ReadFileBytes(CommandFile()).value_or("");
    EXPECT_NE(bytes.find("\"phrase\": \"Ünïcödé ✓ \xF0\x9F\x8E\xB5\""), std::string::npos);
    EXPECT_EQ(bytes.find("\\u"), std::string::npos);
    EXPECT_NE(bytes.substr(0, 3), "\xEF\xBB\xBF") << "no byte-order mark is written";

    CommandStore loaded;
    LoadCommands(loaded);
    ASSERT_EQ(loaded.Commands().size(), 1u);
    EXPECT_EQ(loaded.Commands()[0].phrase, u"Ünïcödé ✓ \U0001F3B5");
}

struct LoadCase {
    const char* name;
    std::string fileBytes;
    std::vector<VoiceCommand> commands;
    bool corrupted;
    bool backupBeforeSave;
};

VoiceCommand LoadedCommand(std::u16string phrase, ActionType type, std::vector<KeyStep> steps) {
    VoiceCommand command;
    command.phrase = std::move(phrase);
    command.type = type;
    command.steps = std::move(steps);
    return command;
}

std::vector<LoadCase> LoadCases() {
    const VoiceCommand phraseA = LoadedCommand(u"a", ActionType::KeyChord, {});
    const VoiceCommand crLfCommand =
        LoadedCommand(u"a", ActionType::KeySequence, {KeyStep{.vk = 9}});
    const std::string lfFile =
        "[\n  {\n    \"phrase\": \"a\",\n    \"steps\": [{\"vk\": 9}],\n    \"type\": true\n  "
        "}\n]\n";
    return {
        {"empty file", "", {}, true, true},
        {"object", "{}", {}, false, true},
        {"empty array", "[]", {}, false, false},
        {"truncated", kEachKindFileText.substr(0, kEachKindFileText.size() / 2), {}, true, true},
        {"element not an object", "[{\"phrase\": \"a\"}, \"b\"]", {}, true, true},
        {"number for enabled", "[{\"phrase\": \"a\"}, {\"enabled\": 1}]", {}, true, true},
        {"null for phrase", "[{\"phrase\": null}]", {}, true, true},
        {"string for vk", "[{\"steps\": [{\"vk\": \"65\"}]}]", {}, true, true},
        {"byte-order mark", "\xEF\xBB\xBF[{\"phrase\": \"a\"}]", {phraseA}, false, false},
        {"LF line ends", lfFile, {crLfCommand}, false, false},
        {"CR LF line ends", WithCrLf(lfFile), {crLfCommand}, false, false},
        {"missing keys", "[{}]", {VoiceCommand{}}, false, false},
        {"steps an object", "[{\"phrase\": \"a\", \"steps\": {}}]", {phraseA}, false, false},
    };
}

using CommandFileLoadTest = CommandFolderTest;

TEST_F(CommandFileLoadTest, FilesOnDiskGiveTheirListAndMessage) {
    for (const LoadCase& loadCase : LoadCases()) {
        SCOPED_TRACE(loadCase.name);
        WriteFileBytes(CommandFile(), loadCase.fileBytes);
        CommandStore store = StoreHoldingOneCommand();
        LoadCommands(store);
        EXPECT_EQ(store.Commands(), loadCase.commands);
        EXPECT_EQ(store.LoadError(),
                  loadCase.corrupted ? u"Commands file is corrupted and could not be loaded. Your "
                                       u"commands have been cleared. The file will be overwritten "
                                       u"the next time you save. Before that, a copy of it will "
                                       u"be kept as " +
                                           FromWideString(BackupFile()) + u"."
                                     : u"");
        EXPECT_EQ(store.NeedsBackupBeforeSave(), loadCase.backupBeforeSave);
        EXPECT_EQ(ReadFileBytes(CommandFile()), loadCase.fileBytes) << "loading changes nothing";
    }
}

TEST_F(CommandFileLoadTest, FolderInPlaceOfTheFileLoadsNothingQuietly) {
    ASSERT_TRUE(::CreateDirectoryW(Folder().c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(CommandFile().c_str(), nullptr));
    CommandStore store = StoreHoldingOneCommand();
    LoadCommands(store);
    EXPECT_TRUE(store.Commands().empty());
    EXPECT_TRUE(store.LoadError().empty());
}

}  // namespace
}  // namespace orvello
