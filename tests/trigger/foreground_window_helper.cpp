// Shows one plain window and keeps it until the program is ended, so that a test can put a window
// of another process in the foreground. Raw Input tells foreground from background input by
// process, so a window of the test program itself would not do.
#include <windows.h>

namespace {

constexpr wchar_t kWindowClass[] = L"OrvelloForegroundHelper";

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int main() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    if (!RegisterClassW(&windowClass)) return 1;
    const HWND window = CreateWindowExW(0, kWindowClass, L"Orvello foreground helper",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 520, 100, 400, 240,
                                        nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
