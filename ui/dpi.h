#pragma once
// Dots per inch for custom drawing. GetDpiForWindow exists only on Windows 10
// 1607 and later, so it is looked up at run time; without it (or without a
// window) the screen's LOGPIXELSY applies.
#include <windows.h>

namespace orvello::ui {

// The window's DPI when it exists and the system can tell, else the screen's.
[[nodiscard]] int DpiForWindow(HWND window);

// The screen's vertical DPI (LOGPIXELSY of the screen DC).
[[nodiscard]] int ScreenDpi();

// S(v): a length given at 96 DPI, at `dpi`, rounded like MulDiv.
[[nodiscard]] inline int ScaleForDpi(int lengthAt96, int dpi) {
    return MulDiv(lengthAt96, dpi, 96);
}

}  // namespace orvello::ui
