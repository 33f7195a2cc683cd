#pragma once
// Windows only: the user's files in Documents\Orvello. A save never leaves a half-written file:
// the new text goes to a temporary file beside the target, reaches the disk, and replaces the
// target in one rename. A file that a load could not use is copied aside before the first save
// replaces it, into a backup slot that never overwrites an earlier copy.
#include <optional>
#include <string>
#include <string_view>

#include "text/utf_conversion.h"

namespace orvello {

// <Documents>\Orvello\<fileName>, or empty when the shell has no Documents folder. Creates the
// Orvello folder on every call, so starting the program is enough to make it appear.
[[nodiscard]] std::wstring OrvelloDocumentsFilePath(std::wstring_view fileName);

enum class UserFileState {
    Absent,      // nothing of that name: a first start
    Unreadable,  // there, or perhaps there, but not readable (locked, no access, no Documents)
    Read,        // the bytes are in `bytes`
};

struct UserFileContent {
    UserFileState state = UserFileState::Absent;
    std::string bytes;
};

// Reads the whole file, sharing it with every other reader and writer. An empty path (no
// Documents folder) counts as unreadable: a file may be there all the same.
[[nodiscard]] UserFileContent ReadUserFile(const std::wstring& path);

// How a save ended: true when the new file is in place, otherwise with the Windows error that
// stopped it, for telling the user why.
struct [[nodiscard]] UserFileSaveResult {
    unsigned long errorCode = 0;  // ERROR_SUCCESS when saved
    explicit operator bool() const { return errorCode == 0; }
};

// Replaces the file with `bytes` as described above. With `backUpFirst` the file's present
// bytes are first kept in a backup slot (see BackUpUnreadFile); if no copy can be made, nothing
// is written. A file marked read-only is not replaced either.
UserFileSaveResult SaveUserFile(const std::wstring& path, std::string_view bytes, bool backUpFirst);

// Name of the index-th backup slot of a file: commands.kwx.bak for 0, then commands.kwx.1.bak,
// commands.kwx.2.bak, and so on.
[[nodiscard]] std::wstring BackupPathFor(std::wstring_view filePath, int index);

// How many backup slots a save looks through before giving up.
inline constexpr int kMaxFileBackups = 100;

// The slot the next save will copy `bytes` of the file at `filePath` to (unless the folder
// changes meanwhile), so that a message can name it; none when every slot holds something else.
[[nodiscard]] std::optional<std::wstring> NextBackupPath(const std::wstring& filePath,
                                                         std::string_view bytes);

// Copies the file's current bytes into the first backup slot that is free, unless one slot
// already holds exactly these bytes. Slots holding other bytes (an earlier backup) are never
// touched. True when the bytes are safe in a slot, or when there is no file to keep; false, with
// the reason in GetLastError(), when the file cannot be read or no slot can be written.
[[nodiscard]] bool BackUpUnreadFile(const std::wstring& filePath);

// A store kept in a user file (CommandStore, ReplacementStore) loads and saves through these two,
// so that every such file gets the same safety. The store offers ClearForLoad(),
// LoadFromFileBytes(bytes), NoteFileUnreadable(), NeedsBackupBeforeSave(),
// NoteBackupPath(path), NoteSaveSucceeded() and FileText().

// Replaces the store's content with the file's. A missing file leaves the store empty; a file
// that is there but unreadable, or that the store could not take over whole, makes the store ask
// for a backup before its next save, and a store that could not take the file over hears where
// that copy will go.
template <typename Store>
void LoadStoreFromUserFile(Store& store, const std::wstring& path) {
    store.ClearForLoad();
    const UserFileContent file = ReadUserFile(path);
    if (file.state == UserFileState::Unreadable) store.NoteFileUnreadable();
    if (file.state != UserFileState::Read) return;
    store.LoadFromFileBytes(file.bytes);
    if (!store.NeedsBackupBeforeSave()) return;
    if (const std::optional<std::wstring> backup = NextBackupPath(path, file.bytes)) {
        store.NoteBackupPath(FromWideString(*backup));
    }
}

// Writes the store's text over the file, first keeping a copy of a file the store could not use.
template <typename Store>
UserFileSaveResult SaveStoreToUserFile(Store& store, const std::wstring& path) {
    const UserFileSaveResult saved =
        SaveUserFile(path, store.FileText(), store.NeedsBackupBeforeSave());
    if (saved) store.NoteSaveSucceeded();
    return saved;
}

}  // namespace orvello
