#include "app/history_keeper_win.h"

#include <windows.h>

#include <chrono>
#include <utility>

#include "history/history_file_win.h"
#include "ui/application.h"

namespace orvello {
namespace {

std::int64_t NowUtcSeconds() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::seconds>(now).count();
}

}  // namespace

HistoryKeeper::HistoryKeeper(ProfileStore& profile, Settings& settings, LogSink log)
    : profile_(profile), settings_(settings), log_(std::move(log)) {}

std::wstring HistoryKeeper::Start() {
    if (!settings_.keepHistory) return {};
    const std::wstring& path = Path();
    if (path.empty()) return {};
    HistoryFileLoad load = LoadHistoryFile(path);
    history_.Replace(std::move(load.entries));
    fileWritable_ = load.writable;
    return load.problem;
}

bool HistoryKeeper::Record(const RoutedResult& result) {
    if (result.text.empty()) return false;
    history_.Add({NowUtcSeconds(), result.outcome, result.text});
    SaveFile();
    return true;
}

void HistoryKeeper::ClearHistory() {
    history_.Clear();
    SaveFile();
}

// Turning the option on writes what is in memory now, replacing whatever file is there; turning
// it off deletes the file. The setting is saved either way.
void HistoryKeeper::SetKeepHistoryBetweenSessions(bool keep) {
    if (keep == settings_.keepHistory) return;
    settings_.keepHistory = keep;
    SaveKeepHistory(profile_, settings_);
    const std::wstring& path = Path();
    if (path.empty()) return;
    if (keep) {
        fileWritable_ = true;
        saveFailureLogged_ = false;
        SaveFile();
    } else if (!DeleteHistoryFile(path)) {
        ui::AppMessageBox(L"The history file " + path + L" could not be deleted: " +
                              ui::SystemErrorText(::GetLastError()) + L"\n\nDelete it by hand.",
                          MB_OK | MB_ICONEXCLAMATION);
    }
}

std::wstring HistoryKeeper::HistoryFilePath() const {
    return Path();
}

// Asked of the shell once: a save then costs only the write itself.
const std::wstring& HistoryKeeper::Path() const {
    if (path_.empty()) path_ = GetHistoryFilePath();
    return path_;
}

void HistoryKeeper::SaveFile() {
    if (!settings_.keepHistory || !fileWritable_) return;
    const std::wstring& path = Path();
    if (path.empty()) return;
    if (SaveHistoryFile(path, history_.Entries())) {
        saveFailureLogged_ = false;
        return;
    }
    if (saveFailureLogged_ || !log_) return;
    saveFailureLogged_ = true;
    log_(L"The history could not be saved in " + path + L": " +
         ui::SystemErrorText(::GetLastError()) + L"\r\n");
}

}  // namespace orvello
