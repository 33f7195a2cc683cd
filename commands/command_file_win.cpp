#include "commands/command_file_win.h"

// clang-format off
#include <windows.h>
#include <knownfolders.h>  // FOLDERID_Documents; needs windows.h first
// clang-format on

#include <optional>
#include <string>
#include <utility>

#include "commands/utf_conversion.h"
#include "files/atomic_file_win.h"
#include "files/known_folder_win.h"

namespace orvello {
namespace {

constexpr std::wstring_view kCommandFolderName = L"\\Orvello";
constexpr std::wstring_view kCommandFileName = L"\\commands.kwx";
constexpr std::wstring_view kBackupSuffix = L".bak";

std::wstring DocumentsFolder() {
    return KnownFolderPath(FOLDERID_Documents);
}

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
std::optional<BackupSlot> FindBackupSlot(const std::wstring& commandFilePath,
                                         std::string_view bytes) {
    for (int index = 0; index < kMaxCommandFileBackups; ++index) {
        std::wstring slotPath = BackupPathFor(commandFilePath, index);
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
CommandFileSaveResult FailedSave() {
    const DWORD error = ::GetLastError();
    return {error != ERROR_SUCCESS ? error : DWORD(ERROR_WRITE_FAULT)};
}

// The slot the first save will copy a corrupted file to (unless the folder changes
// meanwhile), so that the start-up message can name it.
void NoteWhereTheCopyGoes(CommandStore& store, const std::wstring& path, std::string_view bytes) {
    if (const std::optional<BackupSlot> slot = FindBackupSlot(path, bytes)) {
        store.NoteBackupPath(FromWideString(slot->path));
    }
}

}  // namespace

std::wstring GetCommandFilePath() {
    std::wstring path = DocumentsFolder();
    if (path.empty()) return {};
    path += kCommandFolderName;
    // Usually the folder exists already; any real problem shows when the file is used.
    (void)::CreateDirectoryW(path.c_str(), nullptr);
    path += kCommandFileName;
    return path;
}

std::wstring BackupPathFor(std::wstring_view commandFilePath, int index) {
    std::wstring path(commandFilePath);
    if (index > 0) path += L"." + std::to_wstring(index);
    path += kBackupSuffix;
    return path;
}

bool BackUpUnreadCommandFile(const std::wstring& commandFilePath) {
    const std::optional<std::string> bytes = ReadWholeFile(commandFilePath);
    if (!bytes) return NameIsFree(commandFilePath);
    const std::optional<BackupSlot> slot = FindBackupSlot(commandFilePath, *bytes);
    if (!slot) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    // No replace flag: an earlier backup is never overwritten, even by a race.
    return slot->holdsTheseBytes || WriteFileByRename(slot->path, *bytes, MOVEFILE_WRITE_THROUGH);
}

// When the file cannot be read, or Documents cannot even be found (an offline redirected
// folder), the list starts empty but a file may still be there: the first save copies it aside.
void LoadCommands(CommandStore& store) {
    store.ClearForLoad();
    const std::wstring path = GetCommandFilePath();
    if (path.empty()) {
        store.NoteFileUnreadable();
        return;
    }
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (bytes) {
        store.LoadFromFileBytes(*bytes);
        if (!store.LoadError().empty()) NoteWhereTheCopyGoes(store, path, *bytes);
    } else if (!NameIsFree(path)) {
        store.NoteFileUnreadable();
    }
}

CommandFileSaveResult SaveCommands(CommandStore& store) {
    const std::string text = store.FileText();
    const std::wstring path = GetCommandFilePath();
    if (path.empty()) return {ERROR_PATH_NOT_FOUND};
    // What Windows itself answers to a rename over a read-only file.
    if (IsReadOnlyFile(path)) return {ERROR_ACCESS_DENIED};
    if (store.NeedsBackupBeforeSave() && !BackUpUnreadCommandFile(path)) return FailedSave();
    if (!WriteFileByRename(path, text, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return FailedSave();
    }
    store.NoteSaveSucceeded();
    return {};
}

}  // namespace orvello
