// Saving the command file on Windows: a save that fails leaves the previous file
// exactly as it was, and a file the program could not use is copied aside before
// the first save replaces it.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "command_folder_fixture.h"
#include "commands/command_file_win.h"
#include "text/utf_conversion.h"

namespace orvello {
namespace {

VoiceCommand ChordCommand(std::u16string phrase, std::uint16_t vk) {
    VoiceCommand command;
    command.phrase = std::move(phrase);
    command.steps = {KeyStep{.ctrl = true, .vk = vk}};
    return command;
}

CommandStore StoreWith(std::vector<VoiceCommand> commands) {
    CommandStore store;
    store.ReplaceCommands(std::move(commands));
    return store;
}

// Holds a file open the way another program might: no sharing at all.
class UnsharedOpenFile {
public:
    explicit UnsharedOpenFile(const std::wstring& path)
        : handle_(::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    UnsharedOpenFile(const UnsharedOpenFile&) = delete;
    UnsharedOpenFile& operator=(const UnsharedOpenFile&) = delete;
    ~UnsharedOpenFile() { Close(); }

    [[nodiscard]] bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Close() {
        if (IsOpen()) ::CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_;
};

// While it lives, Documents points at a drive that does not exist, as when a redirected
// Documents folder is offline; the user's setting is put back afterwards.
class OfflineDocuments {
public:
    OfflineDocuments() {
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        wchar_t saved[MAX_PATH] = {};
        DWORD bytes = sizeof saved;
        hadValue_ = ::RegQueryValueExW(key_, L"Personal", nullptr, nullptr,
                                       reinterpret_cast<BYTE*>(saved), &bytes) == ERROR_SUCCESS;
        saved_ = saved;
        SetPersonal(L"Q:\\Orvello offline documents");
    }
    ~OfflineDocuments() {
        if (key_ == nullptr) return;
        if (hadValue_) {
            SetPersonal(saved_);
        } else {
            ::RegDeleteValueW(key_, L"Personal");
        }
        ::RegCloseKey(key_);
    }
    OfflineDocuments(const OfflineDocuments&) = delete;
    OfflineDocuments& operator=(const OfflineDocuments&) = delete;

private:
    static constexpr const wchar_t* kShellFolders =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

    void SetPersonal(const std::wstring& path) const {
        ::RegSetValueExW(key_, L"Personal", 0, REG_EXPAND_SZ,
                         reinterpret_cast<const BYTE*>(path.c_str()),
                         static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    }

    HKEY key_ = nullptr;
    bool hadValue_ = false;
    std::wstring saved_;
};

constexpr char kCorruptedBytesA[] = "[{\"phrase\": \"first lost\", \"steps\": [{\"vk\": 6";
constexpr char kCorruptedBytesB[] = "[{\"phrase\": \"second lost\", \"enabled\": \"yes\"}]";

class CommandFileSaveTest : public CommandFolderTest {
protected:
    // A good file on disk, written by a successful save; returns its bytes.
    std::string SaveFirstVersion() {
        CommandStore first = StoreWith({ChordCommand(u"save", 0x53), ChordCommand(u"undo", 0x5A)});
        EXPECT_TRUE(SaveCommands(first));
        return ReadFileBytes(CommandFile()).value_or("");
    }

    static CommandStore SecondVersion() { return StoreWith({ChordCommand(u"print", 0x50)}); }

    // Loads a corrupted file the way start-up does and checks that the load failed.
    CommandStore LoadCorrupted(std::string_view bytes) {
        WriteFileBytes(CommandFile(), bytes);
        CommandStore store;
        LoadCommands(store);
        EXPECT_FALSE(store.LoadError().empty());
        EXPECT_TRUE(store.NeedsBackupBeforeSave());
        return store;
    }
};

TEST_F(CommandFileSaveTest, TemporaryNameTakenByAFolderFailsAndKeepsTheOldFile) {
    const std::string firstBytes = SaveFirstVersion();
    ASSERT_TRUE(::CreateDirectoryW(TemporaryFile().c_str(), nullptr));
    CommandStore second = SecondVersion();
    const CommandFileSaveResult saved = SaveCommands(second);
    EXPECT_FALSE(saved);
    EXPECT_EQ(saved.errorCode, DWORD(ERROR_ACCESS_DENIED)) << "the reason Windows gave";
    EXPECT_EQ(ReadFileBytes(CommandFile()), firstBytes);
    EXPECT_TRUE(IsDirectory(TemporaryFile())) << "a folder in the way is not ours to remove";

    CommandStore loaded;
    LoadCommands(loaded);
    EXPECT_EQ(loaded.Commands().size(), 2u);
}

TEST_F(CommandFileSaveTest, FileHeldOpenWithoutSharingFailsKeepsItAndLeavesNoTemporaryFile) {
    const std::string firstBytes = SaveFirstVersion();
    UnsharedOpenFile lock(CommandFile());
    ASSERT_TRUE(lock.IsOpen());
    CommandStore second = SecondVersion();
    EXPECT_FALSE(SaveCommands(second));
    EXPECT_EQ(FolderListing(), std::vector<std::wstring>{L"commands.kwx"});
    lock.Close();
    EXPECT_EQ(ReadFileBytes(CommandFile()), firstBytes);

    EXPECT_TRUE(SaveCommands(second)) << "the next save succeeds once the file is free";
    EXPECT_EQ(ReadFileBytes(CommandFile()), second.FileText());
}

TEST_F(CommandFileSaveTest, ReadOnlyFileFailsAndKeepsItsBytes) {
    const std::string firstBytes = SaveFirstVersion();
    ASSERT_TRUE(::SetFileAttributesW(CommandFile().c_str(), FILE_ATTRIBUTE_READONLY));
    CommandStore second = SecondVersion();
    EXPECT_FALSE(SaveCommands(second));
    EXPECT_EQ(ReadFileBytes(CommandFile()), firstBytes);
    EXPECT_EQ(FolderListing(), std::vector<std::wstring>{L"commands.kwx"});
}

TEST_F(CommandFileSaveTest, TemporaryFileLeftByAnInterruptedSaveIsIgnoredThenReplaced) {
    const std::string firstBytes = SaveFirstVersion();
    WriteFileBytes(TemporaryFile(), "[{\"phrase\": \"half writ");
    CommandStore loaded;
    LoadCommands(loaded);
    EXPECT_EQ(loaded.Commands().size(), 2u);
    EXPECT_TRUE(loaded.LoadError().empty());

    CommandStore second = SecondVersion();
    ASSERT_TRUE(SaveCommands(second));
    EXPECT_EQ(ReadFileBytes(CommandFile()), second.FileText());
    EXPECT_EQ(FolderListing(), std::vector<std::wstring>{L"commands.kwx"});
}

TEST_F(CommandFileSaveTest, SuccessfulLoadNeedsNoBackup) {
    SaveFirstVersion();
    CommandStore store;
    LoadCommands(store);
    store.ReplaceCommands(SecondVersion().Commands());
    ASSERT_TRUE(SaveCommands(store));
    EXPECT_EQ(FolderListing(), std::vector<std::wstring>{L"commands.kwx"});
}

TEST_F(CommandFileSaveTest, CorruptedFileIsCopiedAsideByTheFirstSaveOnly) {
    CommandStore store = LoadCorrupted(kCorruptedBytesA);
    EXPECT_FALSE(Exists(BackupFile())) << "loading alone makes no copy";
    store.ReplaceCommands(SecondVersion().Commands());
    ASSERT_TRUE(SaveCommands(store));
    EXPECT_EQ(ReadFileBytes(BackupFile()), kCorruptedBytesA);
    EXPECT_EQ(ReadFileBytes(CommandFile()), store.FileText());
    EXPECT_FALSE(store.NeedsBackupBeforeSave());

    store.ReplaceCommands({});
    ASSERT_TRUE(SaveCommands(store));
    EXPECT_EQ(ReadFileBytes(BackupFile()), kCorruptedBytesA);
    EXPECT_EQ(FolderListing(), (std::vector<std::wstring>{L"commands.kwx", L"commands.kwx.bak"}));
}

TEST_F(CommandFileSaveTest, FileLockedAtLoadIsCopiedAsideBeforeItIsReplaced) {
    const std::string original = SaveFirstVersion();
    CommandStore store;
    {
        UnsharedOpenFile lock(CommandFile());
        ASSERT_TRUE(lock.IsOpen());
        LoadCommands(store);
    }
    EXPECT_TRUE(store.Commands().empty());
    EXPECT_TRUE(store.LoadError().empty()) << "an unreadable file loads quietly";
    EXPECT_TRUE(store.NeedsBackupBeforeSave());
    store.ReplaceCommands(SecondVersion().Commands());
    ASSERT_TRUE(SaveCommands(store));
    EXPECT_EQ(ReadFileBytes(BackupFile()), original);
    EXPECT_EQ(ReadFileBytes(CommandFile()), store.FileText());
}

TEST_F(CommandFileSaveTest, FileOutOfReachAtLoadIsCopiedAsideBeforeItIsReplaced) {
    const std::string original = SaveFirstVersion();
    CommandStore store;
    {
        OfflineDocuments offline;
        ASSERT_TRUE(GetCommandFilePath().empty()) << "Documents should be unavailable";
        LoadCommands(store);
    }
    ASSERT_FALSE(GetCommandFilePath().empty()) << "Documents should be back";
    EXPECT_TRUE(store.Commands().empty());
    EXPECT_TRUE(store.LoadError().empty()) << "no Documents folder loads quietly";
    EXPECT_TRUE(store.NeedsBackupBeforeSave());
    store.ReplaceCommands(SecondVersion().Commands());
    ASSERT_TRUE(SaveCommands(store));
    EXPECT_EQ(ReadFileBytes(BackupFile()), original);
    EXPECT_EQ(ReadFileBytes(CommandFile()), store.FileText());
}

TEST_F(CommandFileSaveTest, NoDocumentsAtLoadAndNoFileLaterSavesWithoutABackup) {
    CommandStore store;
    {
        OfflineDocuments offline;
        LoadCommands(store);
    }
    store.ReplaceCommands(SecondVersion().Commands());
    ASSERT_TRUE(SaveCommands(store));
    EXPECT_EQ(FolderListing(), std::vector<std::wstring>{L"commands.kwx"});
}

TEST_F(CommandFileSaveTest, SecondFailedLoadKeepsTheFirstBackupAndTakesTheNextName) {
    CommandStore first = LoadCorrupted(kCorruptedBytesA);
    ASSERT_TRUE(SaveCommands(first));
    CommandStore second = LoadCorrupted(kCorruptedBytesB);
    ASSERT_TRUE(SaveCommands(second));
    // Not a list: loads quietly, yet the file is still kept before it is replaced.
    WriteFileBytes(CommandFile(), "{\"not\": \"a list\"}");
    CommandStore third;
    LoadCommands(third);
    EXPECT_TRUE(third.LoadError().empty());
    ASSERT_TRUE(SaveCommands(third));

    EXPECT_EQ(ReadFileBytes(BackupFile()), kCorruptedBytesA);
    EXPECT_EQ(ReadFileBytes(FolderFile(L"commands.kwx.1.bak")), kCorruptedBytesB);
    EXPECT_EQ(ReadFileBytes(FolderFile(L"commands.kwx.2.bak")), "{\"not\": \"a list\"}");
    EXPECT_EQ(ReadFileBytes(CommandFile()), "[]");
}

TEST_F(CommandFileSaveTest, SameCorruptedFileAfterAFailedSaveIsBackedUpOnce) {
    CommandStore store = LoadCorrupted(kCorruptedBytesA);
    ASSERT_TRUE(::CreateDirectoryW(TemporaryFile().c_str(), nullptr));
    EXPECT_FALSE(SaveCommands(store));
    EXPECT_EQ(ReadFileBytes(CommandFile()), kCorruptedBytesA);
    EXPECT_EQ(ReadFileBytes(BackupFile()), kCorruptedBytesA);
    EXPECT_TRUE(store.NeedsBackupBeforeSave()) << "only a successful save ends the need";
    ASSERT_TRUE(::RemoveDirectoryW(TemporaryFile().c_str()));

    CommandStore nextStart = LoadCorrupted(kCorruptedBytesA);
    ASSERT_TRUE(SaveCommands(nextStart));
    EXPECT_EQ(FolderListing(), (std::vector<std::wstring>{L"commands.kwx", L"commands.kwx.bak"}));
}

TEST_F(CommandFileSaveTest, BackupNameTakenByAFolderMovesOnToTheNextNameAsTheMessageSaid) {
    ASSERT_TRUE(::CreateDirectoryW(Folder().c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(BackupFile().c_str(), nullptr));
    CommandStore store = LoadCorrupted(kCorruptedBytesA);
    const std::wstring nextName = FolderFile(L"commands.kwx.1.bak");
    EXPECT_TRUE(store.LoadError().ends_with(u" kept as " + FromWideString(nextName) + u"."))
        << "the start-up message names where the copy goes";
    ASSERT_TRUE(SaveCommands(store));
    EXPECT_TRUE(IsDirectory(BackupFile()));
    EXPECT_EQ(ReadFileBytes(nextName), kCorruptedBytesA);
}

TEST_F(CommandFileSaveTest, NoFreeBackupNameMeansNoSaveAndTheFileStays) {
    for (int index = 0; index < kMaxFileBackups; ++index) {
        WriteFileBytes(BackupPathFor(CommandFile(), index), "older " + std::to_string(index));
    }
    CommandStore store = LoadCorrupted(kCorruptedBytesB);
    EXPECT_FALSE(SaveCommands(store));
    EXPECT_EQ(ReadFileBytes(CommandFile()), kCorruptedBytesB);
    EXPECT_EQ(ReadFileBytes(BackupFile()), "older 0");
    EXPECT_EQ(FolderListing().size(), static_cast<std::size_t>(kMaxFileBackups) + 1);
}

}  // namespace
}  // namespace orvello
