#pragma once

// Windows only: the clipboard operations of pasting and of the clipboard commands, and the
// saving and restoring of the user's clipboard around a paste. Each opens the clipboard without
// an owner window and closes it before returning.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "output/clipboard_restore_plan.h"

namespace orvello {

enum class ClipboardWriteResult {
    NotOpened,    // another program holds the clipboard open
    NoMemory,     // the text's memory block could not be allocated or locked
    NotAccepted,  // the clipboard was emptied, but SetClipboardData refused the text
    Placed,
};

// Whether clipboard history and the cloud clipboard may keep a text put on the clipboard.
enum class ClipboardHistory {
    Allowed,
    // Marked with the formats Windows documents for that: "ExcludeClipboardContentFromMonitor
    // Processing", "CanIncludeInClipboardHistory" and "CanUploadToCloudClipboard", each a DWORD 0.
    Excluded,
};

// Empties the clipboard and puts the text on it as CF_UNICODETEXT, with its terminating NUL. The
// marks of an excluded text are added when the system takes them; the result is the text's.
[[nodiscard]] ClipboardWriteResult WriteClipboardText(
    std::wstring_view text, ClipboardHistory history = ClipboardHistory::Allowed);

// The clipboard's text up to its terminating NUL but at most maxUnits code units; empty when
// the clipboard cannot be opened, holds no text or its text cannot be locked.
[[nodiscard]] std::wstring ReadClipboardText(std::size_t maxUnits);

// Empties the clipboard; false when it could not be opened.
[[nodiscard]] bool ClearClipboard();

// One format of the clipboard's content, copied out of it.
struct SavedClipboardFormat {
    UINT format = 0;
    std::vector<std::byte> bytes;
};

// The clipboard's content as saved: every format that is a block of memory, in the clipboard's
// order (the most descriptive first).
struct SavedClipboard {
    bool opened = false;
    std::vector<SavedClipboardFormat> formats;
    // Formats that could not be copied (GDI objects without a memory twin, private handles,
    // blocks that could not be read).
    std::vector<UINT> leftOut;
};

[[nodiscard]] SavedClipboard SaveClipboard();

// Puts saved content back in place of whatever is on the clipboard, but only while the clipboard's
// sequence number is still `expectedSequence`: checked with the clipboard open, so that nothing
// can come in between. Saved content without formats leaves the clipboard empty.
[[nodiscard]] RestoreAttempt RestoreClipboard(const std::vector<SavedClipboardFormat>& formats,
                                              std::uint32_t expectedSequence);

// The text of saved content (CF_UNICODETEXT) up to its terminating NUL, at most maxUnits code
// units; empty when it holds no text.
[[nodiscard]] std::wstring SavedClipboardText(const std::vector<SavedClipboardFormat>& formats,
                                              std::size_t maxUnits);

// A format's name for messages: the registered name, or the standard name ("CF_ENHMETAFILE").
[[nodiscard]] std::wstring ClipboardFormatName(UINT format);

}  // namespace orvello
