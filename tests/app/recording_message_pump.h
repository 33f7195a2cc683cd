#pragma once
// Windows only: runs the test thread's message loop, as the main window's thread would, until a
// condition holds.
#include <windows.h>

#include <chrono>
#include <functional>

namespace orvello::test {

// Dispatches this thread's messages until `done` returns true (true) or `timeout` passes (false).
inline bool PumpMessagesUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds timeout = std::chrono::seconds(30)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() > deadline) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Dispatches this thread's messages for `duration`.
inline void PumpMessagesFor(std::chrono::milliseconds duration) {
    (void)PumpMessagesUntil([] { return false; }, duration);
}

}  // namespace orvello::test
