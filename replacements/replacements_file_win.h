#pragma once
// Windows only: the replacements file Documents\Orvello\replacements.kwx on disk, kept with the
// safety of every user file (files/user_file_win.h): atomic replace, and a copy of a file that
// could not be used before the first save replaces it.
#include <string>

#include "files/user_file_win.h"
#include "replacements/replacement_store.h"

namespace orvello {

// <Documents>\Orvello\replacements.kwx, or empty when the shell has no Documents folder.
[[nodiscard]] std::wstring GetReplacementsFilePath();

// Replaces the store's list with the file's replacements. A missing file gives an empty list
// quietly; what could not be used is in the store's LoadError() and LoadNotes().
void LoadReplacements(ReplacementStore& store);

UserFileSaveResult SaveReplacements(ReplacementStore& store);

}  // namespace orvello
