#include "app/text_message_win.h"

#include <algorithm>
#include <utility>

namespace orvello {

bool TextMailbox::Post(HWND window, UINT message, std::wstring text) {
    std::uint64_t id = 0;
    {
        std::lock_guard lock(mutex_);
        id = nextId_++;
        letters_.push_back(Letter{id, message, std::move(text)});
    }
    if (::PostMessageW(window, message, 0, 0)) return true;
    // Another message of the same number may already have taken the text: then it was delivered.
    std::lock_guard lock(mutex_);
    letters_.remove_if([id](const Letter& letter) { return letter.id == id; });
    return false;
}

std::optional<std::wstring> TextMailbox::Take(UINT message) {
    std::lock_guard lock(mutex_);
    const auto letter = std::find_if(letters_.begin(), letters_.end(),
                                     [message](const Letter& l) { return l.message == message; });
    if (letter == letters_.end()) return std::nullopt;
    std::wstring text = std::move(letter->text);
    letters_.erase(letter);
    return text;
}

}  // namespace orvello
