#pragma once

// Windows only: tests that work on the real command file in Documents\Orvello.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvello {

// Gives each test an absent Documents\Orvello folder. A folder that was there
// before is renamed aside for the test and put back afterwards, so the tests
// never touch commands of a real user, even outside the Wine test prefix.
class CommandFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // <Documents>\Orvello and the files in it, found without the code under test.
    [[nodiscard]] const std::wstring& Folder() const { return folder_; }
    [[nodiscard]] std::wstring FolderFile(std::wstring_view name) const;
    [[nodiscard]] std::wstring CommandFile() const { return FolderFile(L"commands.kwx"); }
    [[nodiscard]] std::wstring TemporaryFile() const { return FolderFile(L"commands.kwx.tmp"); }
    [[nodiscard]] std::wstring BackupFile() const { return FolderFile(L"commands.kwx.bak"); }

    // Creates the folder if needed and writes the bytes as they are.
    void WriteFileBytes(const std::wstring& path, std::string_view bytes) const;

    [[nodiscard]] static std::optional<std::string> ReadFileBytes(const std::wstring& path);
    [[nodiscard]] static bool Exists(const std::wstring& path);
    [[nodiscard]] static bool IsDirectory(const std::wstring& path);

    // Names in the folder, sorted; shows stray temporary files and extra backups.
    [[nodiscard]] std::vector<std::wstring> FolderListing() const;

private:
    std::wstring folder_;
    std::wstring setAsideFolder_;
    bool folderWasSetAside_ = false;
};

// The file text written line by line with CR LF between the lines.
[[nodiscard]] std::string WithCrLf(std::string_view lfText);

}  // namespace orvello
