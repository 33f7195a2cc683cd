#pragma once
// Windows only: the microphone test's thread body, which reports levels to a window.

#include <windows.h>

#include <atomic>

namespace orvello {

// Application message 7: the input test's level, 0 to 100, in wParam; lParam is 0.
inline constexpr UINT WM_APP_TEST_LEVEL = WM_APP + 7;

// Runs the microphone test on wave-input device `deviceId` until `stopFlag` is set, posting
// WM_APP_TEST_LEVEL to `window` for every captured buffer. Returns at once when the device cannot
// be opened; reports nothing else.
void RunInputTest(UINT deviceId, HWND window, const std::atomic<bool>& stopFlag) noexcept;

}  // namespace orvello
