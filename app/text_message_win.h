#pragma once
// Windows only: texts posted to a window from other threads. The sender allocates the text as a
// `new std::wstring` and passes its address in lParam; from then on the receiving handler owns
// it and frees it exactly once, whether it routes, logs or ignores the text.
#include <windows.h>

#include <memory>
#include <string>

#include "app/app_messages.h"

namespace orvello {

// Posts `message` with wParam 0 and a heap copy of the text. False when the message could not be
// posted (the window is gone, its queue is full); the copy is then freed here.
[[nodiscard]] bool PostTextMessage(HWND window, UINT message, std::wstring text);

// The recognised text for routing, from the recognition service's worker thread.
[[nodiscard]] inline bool PostResultText(HWND window, std::wstring text) {
    return PostTextMessage(window, WM_APP_RESULT_TEXT, std::move(text));
}

// Takes over the text a received message carries; null when lParam is null.
[[nodiscard]] std::unique_ptr<std::wstring> TakeTextMessage(LPARAM lParam);

}  // namespace orvello
