#pragma once

// Windows only: the command file Documents\Orvello\commands.kwx on disk, kept with the safety of
// every user file (files/user_file_win.h).

#include <string>

#include "commands/command_store.h"
#include "files/user_file_win.h"

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

using CommandFileSaveResult = UserFileSaveResult;

// Writes the store's list to the command file with an atomic replace. The first
// save after a load that could not use the file first keeps a copy of that file;
// if no copy can be made, nothing is written. A command file marked read-only is
// not replaced either.
CommandFileSaveResult SaveCommands(CommandStore& store);

}  // namespace orvello
