#include "tests/controls/overlay_test_window.h"

#include "tests/support/desktop.h"
#include "tests/support/window_capture.h"
#include "ui/win32_handles.h"

namespace orvello::test {
namespace {

constexpr wchar_t kWindowClass[] = L"OrvelloOverlayTestWindow";

void RegisterWindowClass() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ui::CWnd::WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when already registered
}

}  // namespace

FocusedTestWindow::FocusedTestWindow() {
    RegisterWindowClass();
    if (!CreateEx(0, kWindowClass, L"Overlay test", WS_OVERLAPPEDWINDOW, RECT{60, 60, 460, 300},
                  nullptr))
        return;
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 300, 24,
                            Hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool FocusedTestWindow::TakeFocus() {
    if (!ShowAndFocus(Hwnd())) return false;
    SetFocus(edit_);
    PumpMessages(50);
    return GetFocus() == edit_;
}

Image CaptureScreenArea(const RECT& area) {
    Image image;
    image.width = area.right - area.left;
    image.height = area.bottom - area.top;
    if (image.width <= 0 || image.height <= 0) return image;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    ui::WindowDc screen(nullptr);
    ui::UniqueDc memory(CreateCompatibleDC(screen.Get()));
    void* bits = nullptr;
    ui::UniqueBitmap bitmap(
        CreateDIBSection(screen.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap) return image;
    {
        ui::SelectionScope selection(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, image.width, image.height, screen.Get(), area.left, area.top,
               SRCCOPY);
        GdiFlush();
    }
    const auto* pixels = static_cast<const uint32_t*>(bits);
    image.pixels.assign(pixels, pixels + size_t(image.width) * size_t(image.height));
    for (uint32_t& pixel : image.pixels) pixel &= 0x00FFFFFF;
    return image;
}

std::string SaveCapture(const Image& image, const std::string& name) {
    CreateDirectoryW(L"captures", nullptr);
    const std::string path = "captures/" + name + ".png";
    return WritePng(image, path) ? path : std::string();
}

}  // namespace orvello::test
