// The replacements file on disk under Wine: where it lives, a save and load through the user-file
// machinery, and a damaged file copied aside before the first save replaces it.
#include "replacements/replacements_file_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "replacements/replacements_file_format.h"
#include "tests/commands/command_folder_fixture.h"
#include "text/utf_conversion.h"

namespace orvello {
namespace {

class ReplacementsFileWinTest : public CommandFolderTest {
protected:
    [[nodiscard]] std::wstring ReplacementsFile() const { return FolderFile(L"replacements.kwx"); }
    [[nodiscard]] std::wstring ReplacementsBackup() const {
        return FolderFile(L"replacements.kwx.bak");
    }
};

const std::vector<Replacement> kReplacements = {{u"orvello", u"Orvello"},
                                                {u"new paragraph", u"\r\n\r\n"}};

TEST_F(ReplacementsFileWinTest, IsSavedInDocumentsOrvelloAndLoadedBack) {
    ReplacementStore store;
    LoadReplacements(store);
    EXPECT_EQ(GetReplacementsFilePath(), ReplacementsFile());
    EXPECT_TRUE(store.Replacements().empty());
    EXPECT_TRUE(store.LoadError().empty() && store.LoadNotes().empty());
    EXPECT_FALSE(store.NeedsBackupBeforeSave());

    store.ReplaceReplacements(kReplacements);
    ASSERT_TRUE(SaveReplacements(store));
    EXPECT_EQ(ReadFileBytes(ReplacementsFile()), FormatReplacementsFile(kReplacements));
    EXPECT_EQ(FolderListing(), std::vector<std::wstring>{L"replacements.kwx"});

    ReplacementStore loaded;
    LoadReplacements(loaded);
    EXPECT_EQ(loaded.Replacements(), kReplacements);
}

TEST_F(ReplacementsFileWinTest, ADamagedFileIsCopiedAsideBeforeTheFirstSave) {
    const struct {
        const char* name;
        std::string bytes;
        bool corrupted;
    } files[] = {{"not JSON", "[{\"written\": ", true},
                 {"one bad entry", "[{\"written\": \"a\", \"typed\": \"A\"}, 1]", false}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.name);
        (void)::DeleteFileW(ReplacementsBackup().c_str());
        WriteFileBytes(ReplacementsFile(), file.bytes);
        ReplacementStore store;
        LoadReplacements(store);
        const std::u16string backupNote = u" Before that, a copy of it will be kept as " +
                                          FromWideString(ReplacementsBackup()) + u".";
        const std::u16string& message =
            file.corrupted ? store.LoadError() : store.LoadNotes().back();
        EXPECT_TRUE(message.ends_with(backupNote)) << Utf16ToUtf8(message);
        EXPECT_EQ(store.Replacements().size(), file.corrupted ? 0u : 1u);

        store.ReplaceReplacements(kReplacements);
        ASSERT_TRUE(SaveReplacements(store));
        EXPECT_EQ(ReadFileBytes(ReplacementsBackup()), file.bytes);
        EXPECT_EQ(ReadFileBytes(ReplacementsFile()), FormatReplacementsFile(kReplacements));
        EXPECT_FALSE(store.NeedsBackupBeforeSave());
    }
}

}  // namespace
}  // namespace orvello
