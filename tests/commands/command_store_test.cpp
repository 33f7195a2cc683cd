#include "commands/command_store.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

constexpr std::string_view kTwoCommandsFile =
    "[{\"phrase\": \"save\", \"type\": 0, \"steps\": [{\"mod_ctrl\": true, \"vk\": 83}]},"
    " {\"phrase\": \"mute\", \"type\": 4, \"sys_cmd_id\": 3}]";

TEST(CommandStoreTest, StartsEmptyWithoutMessage) {
    const CommandStore store;
    EXPECT_TRUE(store.Commands().empty());
    EXPECT_TRUE(store.LoadError().empty());
    EXPECT_FALSE(store.NeedsBackupBeforeSave());
}

TEST(CommandStoreTest, LoadsTheCommandsOfTheFileInOrder) {
    CommandStore store;
    store.LoadFromFileBytes(kTwoCommandsFile);
    ASSERT_EQ(store.Commands().size(), 2u);
    EXPECT_EQ(store.Commands()[0].phrase, u"save");
    EXPECT_EQ(store.Commands()[1].sys_cmd_id, SystemCommandId::VolumeMute);
    EXPECT_TRUE(store.LoadError().empty());
    EXPECT_FALSE(store.NeedsBackupBeforeSave());
}

TEST(CommandStoreTest, FailedLoadDropsEarlierCommandsAndAsksForBackup) {
    CommandStore store;
    store.LoadFromFileBytes(kTwoCommandsFile);
    store.LoadFromFileBytes("[{\"phrase\": \"save\"}, {\"enabled\": 1}]");
    EXPECT_TRUE(store.Commands().empty());
    EXPECT_EQ(store.LoadError(), kCorruptedCommandFileMessage);
    EXPECT_TRUE(store.NeedsBackupBeforeSave());
    store.NoteSaveSucceeded();
    EXPECT_FALSE(store.NeedsBackupBeforeSave());
}

TEST(CommandStoreTest, FileThatIsNotAnArrayLoadsQuietlyButIsStillBackedUp) {
    CommandStore store;
    store.LoadFromFileBytes("{\"phrase\": \"save\"}");
    EXPECT_TRUE(store.Commands().empty());
    EXPECT_TRUE(store.LoadError().empty());
    EXPECT_TRUE(store.NeedsBackupBeforeSave());
}

TEST(CommandStoreTest, ClearingForLoadForgetsTheLastMessage) {
    CommandStore store;
    store.LoadFromFileBytes("");
    ASSERT_FALSE(store.LoadError().empty());
    store.ClearForLoad();
    EXPECT_TRUE(store.LoadError().empty());
    EXPECT_TRUE(store.Commands().empty());
    EXPECT_FALSE(store.NeedsBackupBeforeSave());
}

TEST(CommandStoreTest, ReplacedListIsWhatIsMatchedAndWritten) {
    CommandStore store;
    store.LoadFromFileBytes(kTwoCommandsFile);
    VoiceCommand edited = MakeNewVoiceCommand();
    edited.phrase = u"undo";
    store.ReplaceCommands({edited});
    EXPECT_EQ(store.FindCommand(u"save"), nullptr);
    ASSERT_NE(store.FindCommand(u"Undo."), nullptr);
    EXPECT_EQ(store.FindCommand(u"Undo."), &store.Commands()[0]);
    EXPECT_EQ(ParseCommandFile(store.FileText()).commands, store.Commands());
}

}  // namespace
}  // namespace orvello
