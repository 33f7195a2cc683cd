#include <windows.h>

#include "output/clipboard_win.h"
#include "output/output_win.h"
#include "output/text_events.h"

namespace orvello {

bool PasteText(std::wstring_view text) {
    if (text.empty()) return true;
    const ClipboardWriteResult written = WriteClipboardText(text);
    // A refusal by SetClipboardData itself does not stop the paste: the clipboard has been
    // emptied and the target application's paste shows what is there.
    if (written == ClipboardWriteResult::NotOpened || written == ClipboardWriteResult::NoMemory)
        return false;
    SendInputSender sender;
    return SendPasteKeys(sender);
}

}  // namespace orvello
