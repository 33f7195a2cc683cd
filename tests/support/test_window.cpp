#include "tests/support/test_window.h"

namespace orvello::test {

TestWindow::TestWindow(const wchar_t* title, COLORREF background)
    : background_(CreateSolidBrush(background)) {
    static const wchar_t* const kClass = L"OrvelloHarnessWindow";
    WNDCLASSW wc{};
    wc.lpfnWndProc = Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kClass;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    RegisterClassW(&wc);  // fails harmlessly when already registered
    hwnd_ = CreateWindowExW(0, kClass, title, WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, nullptr,
                            nullptr, wc.hInstance, this);
}

TestWindow::~TestWindow() {
    DestroyWindow(hwnd_);
    DeleteObject(background_);
}

LRESULT CALLBACK TestWindow::Procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lp);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, LONG_PTR(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->handler_ && self->handler_(msg, wp, lp)) return 0;
    if (self && msg == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(HDC(wp), &client, self->background_);
        return 1;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace orvello::test
