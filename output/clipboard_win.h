#pragma once

// Windows only: the clipboard text operations of pasting and of the clipboard commands.
// Each opens the clipboard without an owner window and closes it before returning.

#include <cstddef>
#include <string>
#include <string_view>

namespace orvello {

enum class ClipboardWriteResult {
    NotOpened,    // another program holds the clipboard open
    NoMemory,     // the text's memory block could not be allocated or locked
    NotAccepted,  // the clipboard was emptied, but SetClipboardData refused the text
    Placed,
};

// Empties the clipboard and puts the text on it as CF_UNICODETEXT, with its terminating NUL.
[[nodiscard]] ClipboardWriteResult WriteClipboardText(std::wstring_view text);

// The clipboard's text up to its terminating NUL but at most maxUnits code units; empty when
// the clipboard cannot be opened, holds no text or its text cannot be locked.
[[nodiscard]] std::wstring ReadClipboardText(std::size_t maxUnits);

// Empties the clipboard; false when it could not be opened.
[[nodiscard]] bool ClearClipboard();

}  // namespace orvello
