#pragma once
// Windows only: the main window's history of results with its option "Keep History Between
// Sessions". The history lives in memory; with the option on it is also kept in the history file
// (history/history_file_win.h), read at start-up and replaced after every change, right after
// the text has been typed, so that a crash loses nothing that was typed. Turning the option off
// deletes the file.
#include <functional>
#include <string>
#include <string_view>

#include "app/dictation_router.h"
#include "app/profile_store.h"
#include "app/settings.h"
#include "dialogs/history_dialog_win.h"
#include "history/result_history.h"

namespace orvello {

class HistoryKeeper final : public HistoryDialogHost {
public:
    // Receives log lines, "\r\n" included; the main window's log area.
    using LogSink = std::function<void(std::wstring_view line)>;

    // The option is settings.keepHistory; changing it saves it to `profile` at once.
    HistoryKeeper(ProfileStore& profile, Settings& settings, LogSink log);

    // With the option on, reads the history file. Returns what to log about a file that could
    // not be used (set aside or left alone), else empty.
    [[nodiscard]] std::wstring Start();

    // Puts a routed result first and, with the option on, saves the file. A result without text
    // is not kept; returns whether this one was.
    bool Record(const RoutedResult& result);

    // HistoryDialogHost
    [[nodiscard]] const ResultHistory& History() const override { return history_; }
    void ClearHistory() override;
    [[nodiscard]] bool KeepsHistoryBetweenSessions() const override {
        return settings_.keepHistory;
    }
    void SetKeepHistoryBetweenSessions(bool keep) override;
    [[nodiscard]] std::wstring HistoryFilePath() const override;

private:
    void SaveFile();
    // The history file's path, empty when there is no local application data folder.
    [[nodiscard]] const std::wstring& Path() const;

    ProfileStore& profile_;
    Settings& settings_;
    LogSink log_;
    ResultHistory history_;
    mutable std::wstring path_;
    // False while a file is there that could not be read at start-up: it is not replaced.
    bool fileWritable_ = true;
    // One log line per run of failed saves.
    bool saveFailureLogged_ = false;
};

}  // namespace orvello
