// DPI look-ups for custom drawing, with GetDpiForWindow resolved at run time.
#include "ui/dpi.h"

namespace orvello::ui {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);

GetDpiForWindowFunction GetDpiForWindowIfAvailable() {
    static const auto function = reinterpret_cast<GetDpiForWindowFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    return function;
}

}  // namespace

int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int DpiForWindow(HWND window) {
    if (window && IsWindow(window)) {
        if (const auto getDpiForWindow = GetDpiForWindowIfAvailable()) {
            if (const UINT dpi = getDpiForWindow(window)) return int(dpi);
        }
    }
    return ScreenDpi();
}

}  // namespace orvello::ui
