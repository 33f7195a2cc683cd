// The main window's history of results: read at start-up, a result recorded once it has been
// routed, and the History dialog from the "History" button and the tray menu.
#include "app/main_window_win.h"

#include "resources/resource.h"

namespace orvello {

// A file that could not be used is named in the log; the window is not visible yet, so the line
// is written the way the first log text is.
void CTessarinDlg::StartHistory() {
    const std::wstring problem = history_.Start();
    if (problem.empty()) return;
    HWND log = GetDlgItem(IDC_LOG);
    const auto length = WPARAM(::GetWindowTextLengthW(log));
    ::SendMessageW(log, EM_SETSEL, length, LPARAM(length));
    ::SendMessageW(log, EM_REPLACESEL, FALSE, LPARAM(problem.c_str()));
}

// Runs after the text has been typed or the command has run, so saving the file never delays
// them.
void CTessarinDlg::RecordResult(const RoutedResult& result) {
    if (history_.Record(result) && openHistoryDialog_ != nullptr) openHistoryDialog_->EntryAdded();
}

// The tray menu can ask again while the dialog runs: it then only comes to the front. Like the
// about box, the dialog takes the keyboard focus, so a trigger held meanwhile is forgotten.
void CTessarinDlg::ShowHistory() {
    if (openHistoryDialog_ != nullptr) {
        ::SetForegroundWindow(openHistoryDialog_->Hwnd());
        return;
    }
    CHistoryDialog dialog(history_, Hwnd());
    openHistoryDialog_ = &dialog;
    (void)dialog.DoModal();
    openHistoryDialog_ = nullptr;
    tracker_.reset();
}

}  // namespace orvello
