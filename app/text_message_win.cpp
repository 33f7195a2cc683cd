#include "app/text_message_win.h"

namespace orvello {

bool PostTextMessage(HWND window, UINT message, std::wstring text) {
    auto heapText = std::make_unique<std::wstring>(std::move(text));
    if (!::PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(heapText.get()))) {
        return false;
    }
    heapText.release();  // the receiver's now
    return true;
}

std::unique_ptr<std::wstring> TakeTextMessage(LPARAM lParam) {
    return std::unique_ptr<std::wstring>(reinterpret_cast<std::wstring*>(lParam));
}

}  // namespace orvello
