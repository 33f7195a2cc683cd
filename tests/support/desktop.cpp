#include "tests/support/desktop.h"

#include "tests/support/unix_command.h"
#include "tests/support/window_capture.h"

namespace orvello::test {
namespace {

// Wine keeps the X11 window of a top-level window in this property.
unsigned long XWindowOf(HWND window) {
    HWND top = GetAncestor(window, GA_ROOT);
    return static_cast<unsigned long>(
        reinterpret_cast<ULONG_PTR>(GetPropW(top, L"__wine_x11_whole_window")));
}

bool Xdotool(const std::string& arguments) {
    return RunUnixCommand("xdotool " + arguments) == 0;
}

}  // namespace

bool FocusWindow(HWND window) {
    const unsigned long xWindow = XWindowOf(window);
    if (xWindow == 0) return false;
    if (!Xdotool("windowfocus --sync " + std::to_string(xWindow))) return false;
    PumpMessages(50);
    return true;
}

bool KeyDown(int xKeycode) {
    return Xdotool("keydown " + std::to_string(xKeycode));
}

bool KeyUp(int xKeycode) {
    return Xdotool("keyup " + std::to_string(xKeycode));
}

bool KeyTap(int xKeycode) {
    return Xdotool("keydown " + std::to_string(xKeycode) + " keyup " + std::to_string(xKeycode));
}

bool ShowAndFocus(HWND window) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    PumpMessages(100);
    // A program started by an earlier test (a console window, a URL handler) can take the
    // focus a moment after we asked for it, so ask again until it stays.
    constexpr int kAttempts = 8;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const bool focused = FocusWindow(window);
        SetForegroundWindow(window);
        PumpMessages(50 + 100 * attempt);
        if (focused && GetForegroundWindow() == GetAncestor(window, GA_ROOT)) return true;
    }
    return false;
}

}  // namespace orvello::test
