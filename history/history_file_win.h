#pragma once
// Windows only: the history file %LOCALAPPDATA%\Orvello\history.json on disk, kept while
// "Keep History Between Sessions" is on. It is replaced whole in one step after every change, so
// that after a crash it holds the history as it was at the latest result.
#include <deque>
#include <string>

#include "history/result_history.h"

namespace orvello {

// <local application data>\Orvello\history.json, or empty when the shell has no such folder.
// Creates the Orvello folder.
[[nodiscard]] std::wstring GetHistoryFilePath();

// Where the damaged file at `path` is set aside: history.json.damaged for index 0, then
// history.json.1.damaged, history.json.2.damaged, and so on.
[[nodiscard]] std::wstring DamagedHistoryPathFor(const std::wstring& path, int index);

// How many names DamagedHistoryPathFor offers before setting aside gives up.
inline constexpr int kMaxDamagedHistoryFiles = 100;

struct HistoryFileLoad {
    std::deque<HistoryEntry> entries;  // newest first
    // False when a file is there that could not be read nor set aside: it must not be
    // replaced, so the history stays in memory only.
    bool writable = true;
    // Empty, or a line for the log ("\r\n" included) saying what happened to a file that could
    // not be used.
    std::wstring problem;
};

// Reads the file; a missing file is an empty history. A damaged file is renamed aside to the
// first free DamagedHistoryPathFor name and the history starts empty; nothing is thrown.
[[nodiscard]] HistoryFileLoad LoadHistoryFile(const std::wstring& path);

// Replaces the file with these entries (temporary file, then one rename); false with the
// reason in GetLastError().
[[nodiscard]] bool SaveHistoryFile(const std::wstring& path,
                                   const std::deque<HistoryEntry>& entries);

// Removes the file; true also when there was none.
[[nodiscard]] bool DeleteHistoryFile(const std::wstring& path);

}  // namespace orvello
