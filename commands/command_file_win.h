#pragma once

// Windows only: the command file Documents\Orvello\commands.kwx on disk.

#include <string>
#include <string_view>

#include "commands/command_store.h"
#include "files/atomic_file_win.h"  // TemporaryPathFor, the temporary file of a save

namespace orvello {

// <Documents>\Orvello\commands.kwx, or empty when the shell has no Documents
// folder. Creates the Orvello folder on every call, so starting the program is
// enough to make it appear.
[[nodiscard]] std::wstring GetCommandFilePath();

// Replaces the store's list with the file's commands. A missing file, an
// unopenable one or no Documents folder leaves an empty list without a message;
// a file that is not valid command JSON leaves an empty list and the
// corrupted-file message, which names the backup slot the file will be copied
// to. Whenever a file may exist that was not read, the store asks for a backup
// before the next save.
void LoadCommands(CommandStore& store);

// How a save ended: true when the new file is in place, otherwise with the
// Windows error that stopped it, for telling the user why.
struct [[nodiscard]] CommandFileSaveResult {
    unsigned long errorCode = 0;  // ERROR_SUCCESS when saved
    explicit operator bool() const { return errorCode == 0; }
};

// Writes the store's list to the command file. The text goes to a temporary
// file beside it, is flushed to disk and then replaces the old file in one
// rename, so a failed or interrupted save leaves the previous file as it was.
// The first save after a load that could not use the file first keeps a copy of
// that file (see BackUpUnreadCommandFile); if no copy can be made, nothing is
// written. A command file marked read-only is not replaced either.
CommandFileSaveResult SaveCommands(CommandStore& store);

// Name of the index-th backup slot of the command file: commands.kwx.bak for 0,
// then commands.kwx.1.bak, commands.kwx.2.bak, and so on.
[[nodiscard]] std::wstring BackupPathFor(std::wstring_view commandFilePath, int index);

// How many backup slots a save looks through before giving up.
inline constexpr int kMaxCommandFileBackups = 100;

// Copies the command file's current bytes into the first backup slot that is
// free, unless one slot already holds exactly these bytes. Slots holding other
// bytes (an earlier backup) are never touched. True when the bytes are safe in a
// slot, or when there is no file to keep; false, with the reason in
// GetLastError(), when the file cannot be read or no slot can be written.
[[nodiscard]] bool BackUpUnreadCommandFile(const std::wstring& commandFilePath);

}  // namespace orvello
