#pragma once
// Pixel checks for the custom controls' tests: captures of one control as it
// shows on the virtual display, and counts of colours inside rectangles.
#include <windows.h>

#include <algorithm>
#include <cstdint>

#include "controls/pixel_geometry.h"
#include "tests/support/window_capture.h"

namespace orvello::test {

[[nodiscard]] inline uint32_t PixelOf(RgbColour colour) {
    return (uint32_t(colour.red) << 16) | (uint32_t(colour.green) << 8) | colour.blue;
}

[[nodiscard]] inline uint32_t PixelOf(COLORREF colour) {
    return (uint32_t(GetRValue(colour)) << 16) | (uint32_t(GetGValue(colour)) << 8) |
           GetBValue(colour);
}

// A capture of `control` whose coordinates are the control's client coordinates
// (the capture is moved past a border, if the control has one).
struct ClientCapture {
    Image image;
    POINT clientOrigin{};  // where client (0, 0) sits in the image

    [[nodiscard]] uint32_t At(int x, int y) const {
        return image.At(x + clientOrigin.x, y + clientOrigin.y);
    }
    // Pixels of `colour` inside `area` (client coordinates, right and bottom exclusive).
    [[nodiscard]] int Count(const PixelRect& area, uint32_t colour) const {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) count += At(x, y) == colour ? 1 : 0;
        return count;
    }
    // The smallest rectangle holding every pixel inside `area` for which `matches(pixel)`
    // holds; empty (left >= right) if there is none.
    template <typename Predicate>
    [[nodiscard]] PixelRect BoundsWhere(const PixelRect& area, Predicate matches) const {
        PixelRect bounds{area.right, area.bottom, area.left, area.top};
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (matches(At(x, y))) {
                    bounds = {std::min(bounds.left, x), std::min(bounds.top, y),
                              std::max(bounds.right, x + 1), std::max(bounds.bottom, y + 1)};
                }
        return bounds;
    }
    // Where anything but `background` was drawn: text, antialiased edges included.
    [[nodiscard]] PixelRect InkBounds(const PixelRect& area, uint32_t background) const {
        return BoundsWhere(area, [background](uint32_t pixel) { return pixel != background; });
    }
};

[[nodiscard]] inline ClientCapture CaptureClient(HWND control) {
    ClientCapture capture{CaptureWindow(control)};
    RECT frame{};
    GetWindowRect(control, &frame);
    POINT origin{0, 0};
    ClientToScreen(control, &origin);
    capture.clientOrigin = {origin.x - frame.left, origin.y - frame.top};
    return capture;
}

// Places a top-level test host on the display, shows it and lets it paint.
inline void ShowHost(HWND host) {
    SetWindowPos(host, HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    UpdateWindow(host);
    PumpMessages(250);
}

}  // namespace orvello::test
