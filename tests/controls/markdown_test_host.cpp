#include "tests/controls/markdown_test_host.h"

#include "tests/support/window_capture.h"

namespace orvello::test {
namespace {

constexpr wchar_t kHostClass[] = L"OrvelloMarkdownTestHost";

void RegisterHostClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ui::CWnd::WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kHostClass;
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
}

}  // namespace

MarkdownTestHost::MarkdownTestHost(int clientWidthPx, int clientHeightPx) {
    RegisterHostClass();
    RECT outer{0, 0, clientWidthPx, clientHeightPx};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, 0);
    const RECT bounds{40, 40, 40 + outer.right - outer.left, 40 + outer.bottom - outer.top};
    if (!CreateEx(0, kHostClass, L"Markdown test", WS_OVERLAPPEDWINDOW, bounds, nullptr)) return;
    ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
    UpdateWindow();
    PumpMessages(50);
}

HWND MarkdownTestHost::AddFrame(int widthPx, int heightPx) const {
    return CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ETCHEDFRAME, 0, 0, widthPx,
                           heightPx, Hwnd(), HMENU(UINT_PTR(kFrameId)), GetModuleHandleW(nullptr),
                           nullptr);
}

LRESULT MarkdownTestHost::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) ++wheelMessages_;
    return CWnd::WindowProc(message, wParam, lParam);
}

}  // namespace orvello::test
