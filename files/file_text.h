#pragma once
// The text conventions of the user's files, as a text-mode read and write on Windows see them.
#include <string>
#include <string_view>

namespace orvello {

// Ctrl+Z: end of file for a text-mode read, which some old editors append to a file.
inline constexpr char kEndOfFileMark = '\x1A';

// The file's text as a text-mode read gives it: everything before the first Ctrl+Z.
[[nodiscard]] std::string_view TextBeforeEndOfFileMark(std::string_view fileBytes);

// Every LF becomes the CR LF that a text-mode write produces.
[[nodiscard]] std::string WithCrLfLineEnds(std::string_view text);

// A message about a file that could not be used, followed by where the first save will copy the
// file before it replaces it: "... Before that, a copy of it will be kept as <path>."
[[nodiscard]] std::u16string WithBackupNote(std::u16string_view message,
                                            std::u16string_view backupPath);

}  // namespace orvello
