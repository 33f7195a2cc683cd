#include "files/user_file_win.h"

#include "files/atomic_file_win.h"
#include "files/known_folder_win.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>  // SHGetKnownFolderPath, KF_FLAG_CREATE; needs windows.h first
// clang-format on

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <utility>

namespace orvello {
namespace {

constexpr std::wstring_view kOrvelloFolderName = L"\\Orvello";
constexpr std::wstring_view kBackupSuffix = L".bak";

// Windows refuses to rename over a read-only file and Wine does not; asking first
// makes a user's read-only mark protect the file everywhere.
bool IsReadOnlyFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

enum class BackupSlotState { HoldsTheseBytes, Free, Occupied };

BackupSlotState InspectBackupSlot(const std::wstring& slotPath, std::string_view bytes) {
    if (NameIsFree(slotPath)) return BackupSlotState::Free;
    const std::optional<std::string> slotBytes = ReadWholeFile(slotPath);
    if (slotBytes && *slotBytes == bytes) return BackupSlotState::HoldsTheseBytes;
    return BackupSlotState::Occupied;
}

struct BackupSlot {
    std::wstring path;
    bool holdsTheseBytes = false;
};

// The first slot that is free or already holds these bytes; none when every slot holds
// something else.
std::optional<BackupSlot> FindBackupSlot(const std::wstring& filePath, std::string_view bytes) {
    for (int index = 0; index < kMaxFileBackups; ++index) {
        std::wstring slotPath = BackupPathFor(filePath, index);
        switch (InspectBackupSlot(slotPath, bytes)) {
            case BackupSlotState::HoldsTheseBytes:
                return BackupSlot{std::move(slotPath), true};
            case BackupSlotState::Free:
                return BackupSlot{std::move(slotPath), false};
            case BackupSlotState::Occupied:
                break;
        }
    }
    return std::nullopt;
}

// The steps of a save leave the reason of their failure in GetLastError().
UserFileSaveResult FailedSave() {
    const DWORD error = ::GetLastError();
    return {error != ERROR_SUCCESS ? error : DWORD(ERROR_WRITE_FAULT)};
}

}  // namespace

std::wstring OrvelloDocumentsFilePath(std::wstring_view fileName) {
    std::wstring path = KnownFolderPath(FOLDERID_Documents);
    if (path.empty()) return {};
    path += kOrvelloFolderName;
    // Usually the folder exists already; any real problem shows when the file is used.
    (void)::CreateDirectoryW(path.c_str(), nullptr);
    path += L'\\';
    path += fileName;
    return path;
}

UserFileContent ReadUserFile(const std::wstring& path) {
    if (path.empty()) return {UserFileState::Unreadable, {}};
    if (std::optional<std::string> bytes = ReadWholeFile(path)) {
        return {UserFileState::Read, std::move(*bytes)};
    }
    return {NameIsFree(path) ? UserFileState::Absent : UserFileState::Unreadable, {}};
}

std::wstring BackupPathFor(std::wstring_view filePath, int index) {
    std::wstring path(filePath);
    if (index > 0) path += L"." + std::to_wstring(index);
    path += kBackupSuffix;
    return path;
}

std::optional<std::wstring> NextBackupPath(const std::wstring& filePath, std::string_view bytes) {
    std::optional<BackupSlot> slot = FindBackupSlot(filePath, bytes);
    if (!slot) return std::nullopt;
    return std::move(slot->path);
}

bool BackUpUnreadFile(const std::wstring& filePath) {
    const std::optional<std::string> bytes = ReadWholeFile(filePath);
    if (!bytes) return NameIsFree(filePath);
    const std::optional<BackupSlot> slot = FindBackupSlot(filePath, *bytes);
    if (!slot) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    // No replace flag: an earlier backup is never overwritten, even by a race.
    return slot->holdsTheseBytes || WriteFileByRename(slot->path, *bytes, MOVEFILE_WRITE_THROUGH);
}

UserFileSaveResult SaveUserFile(const std::wstring& path, std::string_view bytes,
                                bool backUpFirst) {
    if (path.empty()) return {ERROR_PATH_NOT_FOUND};
    // What Windows itself answers to a rename over a read-only file.
    if (IsReadOnlyFile(path)) return {ERROR_ACCESS_DENIED};
    if (backUpFirst && !BackUpUnreadFile(path)) return FailedSave();
    if (!WriteFileByRename(path, bytes, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return FailedSave();
    }
    return {};
}

}  // namespace orvello
