#include "output/clipboard_keeper_win.h"

#include <utility>

#include "output/output_win.h"
#include "output/text_events.h"

namespace orvello {

ClipboardKeeper::ClipboardKeeper(HWND timerWindow, UINT_PTR timerId, LogSink log)
    : timerWindow_(timerWindow), timerId_(timerId), log_(std::move(log)) {}

ClipboardKeeper::~ClipboardKeeper() {
    if (plan_.Pending() && ::IsWindow(timerWindow_)) ::KillTimer(timerWindow_, timerId_);
}

// A second dictation pasted before the first one's restore finds the clipboard still holding the
// first: the content saved before that one is the user's and stays the one to put back.
bool ClipboardKeeper::PasteText(std::wstring_view text) {
    if (text.empty()) return true;
    if (!restoreAfterPaste_) return orvello::PasteText(text);
    std::vector<SavedClipboardFormat> userClipboard;
    const bool fresh = plan_.MustSave(GetClipboardSequenceNumber());
    if (fresh && !SaveUserClipboard(userClipboard)) return false;
    const ClipboardWriteResult written = WriteClipboardText(text, ClipboardHistory::Excluded);
    if (written == ClipboardWriteResult::NotOpened) return false;
    if (fresh) saved_ = std::move(userClipboard);
    plan_.Pasted(GetClipboardSequenceNumber());
    if (written != ClipboardWriteResult::Placed) {
        // The clipboard was emptied but did not take the text: the user's content goes back now.
        Attempt();
        return false;
    }
    ::SetTimer(timerWindow_, timerId_, kRestoreDelayMs, nullptr);
    SendInputSender sender;
    return SendPasteKeys(sender);
}

bool ClipboardKeeper::SaveUserClipboard(std::vector<SavedClipboardFormat>& formats) {
    SavedClipboard saved = SaveClipboard();
    if (!saved.opened) return false;
    ReportLeftOut(saved.leftOut);
    formats = std::move(saved.formats);
    return true;
}

void ClipboardKeeper::ReportLeftOut(const std::vector<UINT>& formats) {
    for (const UINT format : formats) {
        if (!reportedFormats_.insert(format).second) continue;
        Log(L"Clipboard: its \"" + ClipboardFormatName(format) +
            L"\" content cannot be saved, so it is not put back after a paste.\r\n");
    }
}

void ClipboardKeeper::OnRestoreTimer() {
    ::KillTimer(timerWindow_, timerId_);
    if (plan_.Pending()) Attempt();
}

void ClipboardKeeper::Attempt() {
    const RestoreAttempt attempt = RestoreClipboard(saved_, plan_.DictationSequence());
    switch (plan_.Attempted(attempt)) {
        case RestoreNext::RetrySoon:
            ::SetTimer(timerWindow_, timerId_, kRetryDelayMs, nullptr);
            return;
        case RestoreNext::GiveUp:
            Log(L"Clipboard: another program kept it open, so what you had copied could not be "
                L"put back after the paste.\r\n");
            break;
        case RestoreNext::Finished:
            if (attempt == RestoreAttempt::PartlyRestored) {
                Log(L"Clipboard: part of what you had copied could not be put back after the "
                    L"paste.\r\n");
            }
            break;
    }
    saved_.clear();
}

std::wstring ClipboardKeeper::UserClipboardText(std::size_t maxUnits) const {
    if (plan_.HoldsDictation(GetClipboardSequenceNumber())) {
        return SavedClipboardText(saved_, maxUnits);
    }
    return ReadClipboardText(maxUnits);
}

void ClipboardKeeper::Log(std::wstring_view line) const {
    if (log_) log_(line);
}

}  // namespace orvello
