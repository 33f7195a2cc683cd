#include <windows.h>

#include "output/clipboard_win.h"
#include "output/output_win.h"
#include "output/text_events.h"

namespace orvello {

bool PasteText(std::wstring_view text) {
    if (text.empty()) return true;
    // Also when SetClipboardData refused the text: the clipboard is empty then, and Ctrl+V
    // would paste nothing while the caller believed the text delivered.
    if (WriteClipboardText(text, ClipboardHistory::Excluded) != ClipboardWriteResult::Placed) {
        return false;
    }
    SendInputSender sender;
    return SendPasteKeys(sender);
}

}  // namespace orvello
