#pragma once
// Windows only: pasting that leaves the user's clipboard as it was. Before the dictation goes on
// the clipboard, its content is saved; about half a second after Ctrl+V, once the target has had
// time to paste, the saved content is put back, unless something else has put content of its own
// there meanwhile. The wait runs on a timer of a window of the calling thread, never blocking it.
#include <windows.h>

#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "output/clipboard_restore_plan.h"
#include "output/clipboard_win.h"

namespace orvello {

class ClipboardKeeper {
public:
    // Receives each log line, "\r\n" included.
    using LogSink = std::function<void(std::wstring_view line)>;

    static constexpr UINT kRestoreDelayMs = 500;
    static constexpr UINT kRetryDelayMs = 50;

    // The timer `timerId` of `timerWindow` paces the restore: the window hands its WM_TIMER to
    // OnRestoreTimer.
    ClipboardKeeper(HWND timerWindow, UINT_PTR timerId, LogSink log);
    // A restore still pending is dropped: putting it back at once could beat the paste itself.
    ~ClipboardKeeper();
    ClipboardKeeper(const ClipboardKeeper&) = delete;
    ClipboardKeeper& operator=(const ClipboardKeeper&) = delete;

    // Whether later pastes put the user's clipboard back ("Restore Clipboard After Paste"); a
    // restore already pending is made either way.
    void SetRestoreAfterPaste(bool restore) { restoreAfterPaste_ = restore; }

    // PasteText's contract: true when the text went on the clipboard and all four Ctrl+V events
    // were accepted, true for empty text (nothing touched), false with no keys sent when the
    // clipboard could not be saved or set. The text is kept out of clipboard history.
    [[nodiscard]] bool PasteText(std::wstring_view text);

    // The timer came: puts the user's content back, tries again shortly while another program
    // holds the clipboard open, and gives up with a log line after a few tries.
    void OnRestoreTimer();

    // What {clipboard} reads: the user's saved text while the clipboard still holds a dictation
    // on its way into the target, else the clipboard's text.
    [[nodiscard]] std::wstring UserClipboardText(std::size_t maxUnits) const;

private:
    [[nodiscard]] bool SaveUserClipboard(std::vector<SavedClipboardFormat>& formats);
    void ReportLeftOut(const std::vector<UINT>& formats);
    void Attempt();
    void Log(std::wstring_view line) const;

    HWND timerWindow_;
    UINT_PTR timerId_;
    LogSink log_;
    bool restoreAfterPaste_ = true;
    ClipboardRestorePlan plan_;
    std::vector<SavedClipboardFormat> saved_;  // the user's content while a restore is pending
    std::set<UINT> reportedFormats_;           // each left-out format is logged once
};

}  // namespace orvello
