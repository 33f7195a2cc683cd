#include "history/history_file_win.h"

// clang-format off
#include <windows.h>
#include <knownfolders.h>  // FOLDERID_LocalAppData; needs windows.h first
// clang-format on

#include <optional>
#include <utility>

#include "files/atomic_file_win.h"
#include "files/known_folder_win.h"
#include "history/history_file_format.h"

namespace orvello {
namespace {

constexpr std::wstring_view kFolderName = L"\\Orvello";
constexpr std::wstring_view kFileName = L"\\history.json";
constexpr std::wstring_view kDamagedSuffix = L".damaged";

// Never replaces anything: an earlier damaged file keeps its name.
std::optional<std::wstring> SetAside(const std::wstring& path) {
    for (int index = 0; index < kMaxDamagedHistoryFiles; ++index) {
        std::wstring aside = DamagedHistoryPathFor(path, index);
        if (::MoveFileExW(path.c_str(), aside.c_str(), MOVEFILE_WRITE_THROUGH)) return aside;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

HistoryFileLoad DamagedFile(const std::wstring& path) {
    HistoryFileLoad load;
    if (const std::optional<std::wstring> aside = SetAside(path)) {
        load.problem = L"The history file " + path + L" is damaged; it was set aside as " + *aside +
                       L" and the history starts empty.\r\n";
    } else {
        load.writable = false;
        load.problem = L"The history file " + path +
                       L" is damaged and could not be set aside; the history is kept in memory "
                       L"only until Orvello ends.\r\n";
    }
    return load;
}

}  // namespace

std::wstring GetHistoryFilePath() {
    std::wstring path = KnownFolderPath(FOLDERID_LocalAppData);
    if (path.empty()) return {};
    path += kFolderName;
    // Usually the folder exists already; any real problem shows when the file is used.
    (void)::CreateDirectoryW(path.c_str(), nullptr);
    path += kFileName;
    return path;
}

std::wstring DamagedHistoryPathFor(const std::wstring& path, int index) {
    std::wstring aside = path;
    if (index > 0) aside += L"." + std::to_wstring(index);
    aside += kDamagedSuffix;
    return aside;
}

HistoryFileLoad LoadHistoryFile(const std::wstring& path) {
    const std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) {
        if (NameIsFree(path)) return {};
        HistoryFileLoad load;
        load.writable = false;
        load.problem = L"The history file " + path +
                       L" could not be opened; the history is kept in memory only until "
                       L"Orvello ends.\r\n";
        return load;
    }
    std::optional<std::deque<HistoryEntry>> entries = ParseHistoryFile(*bytes);
    if (!entries) return DamagedFile(path);
    HistoryFileLoad load;
    load.entries = std::move(*entries);
    return load;
}

bool SaveHistoryFile(const std::wstring& path, const std::deque<HistoryEntry>& entries) {
    return WriteFileByRename(path, FormatHistoryFile(entries),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

bool DeleteHistoryFile(const std::wstring& path) {
    return ::DeleteFileW(path.c_str()) || NameIsFree(path);
}

}  // namespace orvello
