// The main window's replacements: loaded at start-up with their problems reported, edited in the
// replacements dialog and saved on its OK.
#include "app/main_window_win.h"
#include "dialogs/replacements_dialog_win.h"
#include "replacements/replacements_file_win.h"
#include "resources/resource.h"
#include "text/utf_conversion.h"
#include "ui/application.h"

namespace orvello {
namespace {

constexpr wchar_t kReplacementsNotSavedText[] =
    L"Replacements could not be saved.\n\nCheck that the Documents\\Orvello folder is "
    L"accessible.\n\nWindows reported: ";

// At start-up the window is not shown yet, where AppendLog drops lines; these must stay.
void AppendLogLineWhileStarting(HWND log, std::u16string_view line) {
    const std::wstring text = ToWideString(line) + L"\r\n";
    const auto length = WPARAM(::GetWindowTextLengthW(log));
    ::SendMessageW(log, EM_SETSEL, length, LPARAM(length));
    ::SendMessageW(log, EM_REPLACESEL, FALSE, LPARAM(text.c_str()));
}

}  // namespace

// A file that could not be read at all is a message box, as for the commands; entries that were
// left out are log lines, so that the rest of the file still applies without a question.
void CTessarinDlg::LoadReplacementsAtStart() {
    LoadReplacements(replacements_);
    for (const std::u16string& note : replacements_.LoadNotes()) {
        AppendLogLineWhileStarting(GetDlgItem(IDC_LOG), note);
    }
    if (!replacements_.LoadError().empty()) {
        ui::AppMessageBox(ToWideString(replacements_.LoadError()), MB_OK | MB_ICONEXCLAMATION);
    }
}

void CTessarinDlg::EditReplacements() {
    CReplacementsDialog dialog(replacements_.Replacements(), Hwnd());
    if (dialog.DoModal() != IDOK) return;
    replacements_.ReplaceReplacements(dialog.Replacements());
    if (const UserFileSaveResult saved = SaveReplacements(replacements_); !saved) {
        ui::AppMessageBox(kReplacementsNotSavedText + ui::SystemErrorText(saved.errorCode),
                          MB_OK | MB_ICONEXCLAMATION);
    }
}

}  // namespace orvello
