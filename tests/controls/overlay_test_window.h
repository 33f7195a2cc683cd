#pragma once
// What the overlay tests need around the overlay: an application window whose edit control
// has the keyboard focus, and captures of screen areas (the overlay is a layered window, whose
// pixels are read from the screen rather than from its own window DC).
#include <windows.h>

#include <string>

#include "tests/support/png_writer.h"
#include "ui/window.h"

namespace orvello::test {

class FocusedTestWindow : public ui::CWnd {
public:
    FocusedTestWindow();

    // Shows the window, gives it the X focus and focuses its edit control.
    [[nodiscard]] bool TakeFocus();
    [[nodiscard]] HWND Edit() const { return edit_; }

private:
    HWND edit_ = nullptr;
};

// The pixels of a screen rectangle as the screen shows them now.
Image CaptureScreenArea(const RECT& area);

// Saves an image under the build's captures/ folder; returns the path or "" on failure.
std::string SaveCapture(const Image& image, const std::string& name);

}  // namespace orvello::test
