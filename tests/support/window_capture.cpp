#include "tests/support/window_capture.h"

#include <chrono>

namespace orvello::test {

Image CaptureWindow(HWND window) {
    RECT bounds{};
    GetWindowRect(window, &bounds);
    Image image;
    image.width = bounds.right - bounds.left;
    image.height = bounds.bottom - bounds.top;
    if (image.width <= 0 || image.height <= 0) return image;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC windowDc = GetWindowDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, image.width, image.height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    image.pixels.assign(pixels, pixels + size_t(image.width) * size_t(image.height));
    for (uint32_t& p : image.pixels) p &= 0x00FFFFFF;
    SelectObject(memoryDc, previous);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return image;
}

std::string SaveWindowCapture(HWND window, const std::string& name) {
    CreateDirectoryW(L"captures", nullptr);
    const std::string path = "captures/" + name + ".png";
    return WritePng(CaptureWindow(window), path) ? path : std::string();
}

void PumpMessages(DWORD milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (std::chrono::steady_clock::now() < end);
}

}  // namespace orvello::test
