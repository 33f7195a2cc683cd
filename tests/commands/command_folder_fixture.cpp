#include "command_folder_fixture.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

namespace orvello {
namespace {

std::wstring DocumentsFolder() {
    PWSTR folder = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, &folder);
    const std::unique_ptr<wchar_t, decltype(&::CoTaskMemFree)> owned(folder, &::CoTaskMemFree);
    if (FAILED(result) || folder == nullptr) return {};
    return folder;
}

// Read-only attributes a test left behind would stop the removal.
void RemoveTree(const std::filesystem::path& root) {
    std::error_code error;
    if (!std::filesystem::exists(root, error)) return;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error)) {
        ::SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(root, error);
    EXPECT_FALSE(error) << "cannot remove the test's command folder: " << error.message();
}

}  // namespace

void CommandFolderTest::SetUp() {
    const std::wstring documents = DocumentsFolder();
    ASSERT_FALSE(documents.empty()) << "the Documents folder is not available";
    folder_ = documents + L"\\Orvello";
    setAsideFolder_ = documents + L"\\Orvello.set-aside-by-tests";
    ASSERT_FALSE(Exists(setAsideFolder_))
        << "a folder set aside by an earlier, interrupted test run is still there; put it back "
           "as Documents\\Orvello by hand";
    if (Exists(folder_)) {
        ASSERT_TRUE(::MoveFileW(folder_.c_str(), setAsideFolder_.c_str()))
            << "cannot set the existing Documents\\Orvello folder aside";
        folderWasSetAside_ = true;
    }
}

void CommandFolderTest::TearDown() {
    if (folder_.empty()) return;
    RemoveTree(folder_);
    if (folderWasSetAside_) {
        EXPECT_TRUE(::MoveFileW(setAsideFolder_.c_str(), folder_.c_str()))
            << "cannot put the Documents\\Orvello folder back";
    }
}

std::wstring CommandFolderTest::FolderFile(std::wstring_view name) const {
    return folder_ + L"\\" + std::wstring(name);
}

void CommandFolderTest::WriteFileBytes(const std::wstring& path, std::string_view bytes) const {
    ::CreateDirectoryW(folder_.c_str(), nullptr);
    std::ofstream file(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    ASSERT_TRUE(file) << "cannot create a test file";
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.close();
    ASSERT_TRUE(file) << "cannot write a test file";
}

std::optional<std::string> CommandFolderTest::ReadFileBytes(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool CommandFolderTest::Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool CommandFolderTest::IsDirectory(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::wstring> CommandFolderTest::FolderListing() const {
    std::vector<std::wstring> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        names.push_back(entry.path().filename().wstring());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string WithCrLf(std::string_view lfText) {
    std::string text;
    for (const char c : lfText) {
        if (c == '\n') text.push_back('\r');
        text.push_back(c);
    }
    return text;
}

}  // namespace orvello
