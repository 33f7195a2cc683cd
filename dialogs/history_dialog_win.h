#pragma once
// CHistoryDialog: the latest results, newest first, as a table (time, outcome, text) with "Copy"
// and "Clear"; the selected result's whole text in a read-only box; and the "Keep History
// Between Sessions" check box with a sentence on where the history is kept. The history itself
// and the option belong to the host, which the dialog asks for every change:
//   CHistoryDialog dialog(host, mainWindow);
//   dialog.DoModal();
// While it runs, the host calls EntryAdded() for each result it records.
#include <windows.h>

#include <deque>
#include <string>

#include "controls/table_list_box.h"
#include "history/result_history.h"
#include "ui/dialog.h"

namespace orvello {

class HistoryDialogHost {
public:
    virtual ~HistoryDialogHost() = default;
    [[nodiscard]] virtual const ResultHistory& History() const = 0;
    virtual void ClearHistory() = 0;
    [[nodiscard]] virtual bool KeepsHistoryBetweenSessions() const = 0;
    virtual void SetKeepHistoryBetweenSessions(bool keep) = 0;
    // Where the history is kept while the option is on; empty when there is no such place.
    [[nodiscard]] virtual std::wstring HistoryFilePath() const = 0;
};

class CHistoryDialog : public ui::CDialogEx {
public:
    CHistoryDialog(HistoryDialogHost& host, HWND parent);

    // A result was put first in the host's history: the table shows it, and the selection
    // stays on the result it was on.
    void EntryAdded();

protected:
    void BindControls() override;
    bool OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

private:
    void OnSelectionChanged();
    void OnCopy();
    void OnClear();
    void OnKeepHistory();
    // Fills the table from the host's history and selects `selection` when it names a row.
    void RefreshTable(int selection);
    [[nodiscard]] const HistoryEntry* SelectedEntry() const;

    HistoryDialogHost& host_;
    CTableListBox table_;
};

}  // namespace orvello
