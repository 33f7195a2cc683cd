#pragma once

// Windows only: whole files read and replaced in one step, for the small files Orvello keeps of
// its own (the command file, the history). A reader never sees half a file: a new text is
// complete on disk before a single rename puts it in place.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace orvello {

// The file's bytes; nothing when it cannot be opened or read (the reason in GetLastError()).
// Readers share everything, so a file another program has open can still be read.
[[nodiscard]] std::optional<std::string> ReadWholeFile(const std::wstring& path);

// The temporary file a replacement writes before renaming it over `targetPath`:
// the target's path with ".tmp" appended. A replacement interrupted before its rename
// leaves it behind; the next one overwrites it.
[[nodiscard]] std::wstring TemporaryPathFor(std::wstring_view targetPath);

// Writes `bytes` to the temporary file, flushes them to disk and renames the file to
// `targetPath` with `moveFlags` (MoveFileExW's: MOVEFILE_REPLACE_EXISTING to replace an
// existing file). On failure the temporary file is removed, the target is as it was and
// GetLastError() holds the reason.
[[nodiscard]] bool WriteFileByRename(const std::wstring& targetPath, std::string_view bytes,
                                     DWORD moveFlags);

// True only when nothing is there; a name that cannot even be inspected is not free.
[[nodiscard]] bool NameIsFree(const std::wstring& path);

}  // namespace orvello
