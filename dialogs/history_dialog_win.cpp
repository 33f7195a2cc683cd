// The History dialog: the table of results, the selected text, Copy, Clear and the option to
// keep the history between sessions.
#include "dialogs/history_dialog_win.h"

#include <cstdint>
#include <cwchar>

#include "text/utf_conversion.h"
#include "dialogs/history_table.h"
#include "output/clipboard_win.h"
#include "resources/resource.h"
#include "ui/application.h"

namespace orvello {
namespace {

constexpr wchar_t kClearQuestion[] = L"Clear the history?";
constexpr wchar_t kClipboardBusy[] =
    L"The text could not be copied: another program is using the clipboard. Try again.";
constexpr wchar_t kInMemoryOnly[] = L"Orvello keeps its latest 100 results until it ends.";

enum TableColumnIndex { kTimeColumn = 0, kOutcomeColumn = 1, kTextColumn = 2 };

// FILETIME counts 100 ns steps from 1601, the history seconds from 1970 (both UTC).
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
constexpr std::int64_t kFileTimeStepsPerSecond = 10'000'000;
constexpr std::int64_t kLatestSecond = INT64_MAX / kFileTimeStepsPerSecond - kSecondsFrom1601To1970;

// "2026-12-11 14:03:07" in the computer's time zone; empty for a time Windows cannot show.
std::wstring LocalTimeText(std::int64_t utcSeconds) {
    if (utcSeconds < -kSecondsFrom1601To1970 || utcSeconds > kLatestSecond) return {};
    ULARGE_INTEGER steps{};
    steps.QuadPart = ULONGLONG((utcSeconds + kSecondsFrom1601To1970) * kFileTimeStepsPerSecond);
    const FILETIME utc{steps.LowPart, steps.HighPart};
    SYSTEMTIME utcTime{};
    SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&utc, &utcTime) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utcTime, &local)) {
        return {};
    }
    wchar_t text[32] = {};
    std::swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay,
                  local.wHour, local.wMinute, local.wSecond);
    return text;
}

std::wstring KeepNote(const std::wstring& filePath) {
    if (filePath.empty()) return kInMemoryOnly;
    return std::wstring(kInMemoryOnly) + L" With the box checked they are also kept in " +
           filePath + L", so that they are still there after a restart; unchecking it deletes " +
           L"that file.";
}

}  // namespace

CHistoryDialog::CHistoryDialog(HistoryDialogHost& host, HWND parent)
    : ui::CDialogEx(IDD_HISTORY, parent), host_(host) {}

void CHistoryDialog::BindControls() {
    (void)table_.SubclassDlgItem(IDC_HISTORY_TABLE, Hwnd());
}

bool CHistoryDialog::OnInitDialog() {
    table_.columns = HistoryTableColumns(int(table_.GetClientRect().right));
    RefreshTable(-1);
    ::CheckDlgButton(Hwnd(), IDC_HISTORY_KEEP,
                     host_.KeepsHistoryBetweenSessions() ? BST_CHECKED : BST_UNCHECKED);
    ::SetDlgItemTextW(Hwnd(), IDC_HISTORY_KEEP_NOTE, KeepNote(host_.HistoryFilePath()).c_str());
    return true;
}

bool CHistoryDialog::OnCommand(UINT id, UINT code, HWND control) {
    if (id == IDC_HISTORY_TABLE) {
        if (code == LBN_SELCHANGE) OnSelectionChanged();
        if (code == LBN_DBLCLK) OnCopy();
        return true;
    }
    if (code != BN_CLICKED) return ui::CDialogEx::OnCommand(id, code, control);
    switch (id) {
        case IDC_HISTORY_COPY:
            OnCopy();
            return true;
        case IDC_HISTORY_CLEAR:
            OnClear();
            return true;
        case IDC_HISTORY_KEEP:
            OnKeepHistory();
            return true;
        default:
            return ui::CDialogEx::OnCommand(id, code, control);
    }
}

void CHistoryDialog::EntryAdded() {
    if (!IsWindow()) return;
    const int selection = table_.GetCurSel();
    const int count = int(host_.History().Entries().size());
    // The selected result moved one row down, unless it was the oldest and has gone.
    RefreshTable(selection < 0 || selection + 1 >= count ? -1 : selection + 1);
}

const HistoryEntry* CHistoryDialog::SelectedEntry() const {
    const int selection = table_.GetCurSel();
    const auto& entries = host_.History().Entries();
    if (selection < 0 || std::size_t(selection) >= entries.size()) return nullptr;
    return &entries[std::size_t(selection)];
}

void CHistoryDialog::OnSelectionChanged() {
    const HistoryEntry* entry = SelectedEntry();
    const std::wstring text = entry ? ToWideString(HistoryBoxText(entry->text)) : std::wstring();
    ::SetDlgItemTextW(Hwnd(), IDC_HISTORY_TEXT, text.c_str());
    ::EnableWindow(GetDlgItem(IDC_HISTORY_COPY), entry != nullptr);
}

// The text as it was recognised, line breaks as they came, not as the box shows them.
void CHistoryDialog::OnCopy() {
    const HistoryEntry* entry = SelectedEntry();
    if (entry == nullptr) return;
    if (WriteClipboardText(ToWideString(entry->text)) != ClipboardWriteResult::Placed) {
        ui::AppMessageBox(kClipboardBusy, MB_OK | MB_ICONEXCLAMATION);
    }
}

void CHistoryDialog::OnClear() {
    if (host_.History().Entries().empty()) return;
    if (ui::AppMessageBox(kClearQuestion, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        return;
    }
    host_.ClearHistory();
    RefreshTable(-1);
}

// The host may refuse (a file it cannot delete): the box shows what holds.
void CHistoryDialog::OnKeepHistory() {
    const bool keep = ::IsDlgButtonChecked(Hwnd(), IDC_HISTORY_KEEP) == BST_CHECKED;
    host_.SetKeepHistoryBetweenSessions(keep);
    ::CheckDlgButton(Hwnd(), IDC_HISTORY_KEEP,
                     host_.KeepsHistoryBetweenSessions() ? BST_CHECKED : BST_UNCHECKED);
}

void CHistoryDialog::RefreshTable(int selection) {
    table_.ResetContent();
    for (const HistoryEntry& entry : host_.History().Entries()) {
        const int index = table_.AddRow();
        if (index < 0) continue;
        table_.SetCell(index, kTimeColumn, LocalTimeText(entry.timeUtcSeconds));
        table_.SetCell(index, kOutcomeColumn, ToWideString(OutcomeLabel(entry.outcome)));
        table_.SetCell(index, kTextColumn, ToWideString(HistoryRowText(entry.text)));
    }
    table_.SetCurSel(selection);
    ::EnableWindow(GetDlgItem(IDC_HISTORY_CLEAR), table_.GetCount() > 0);
    OnSelectionChanged();
}

}  // namespace orvello
