#pragma once
// Captures what a window shows, child controls included: BitBlt from the
// window DC into a DIB (PrintWindow leaves child controls out under Wine).
#include <windows.h>

#include <string>

#include "tests/support/png_writer.h"

namespace orvello::test {

// The window's whole area as it is on the screen now.
Image CaptureWindow(HWND window);

// Captures the window and saves it as PNG under the build's captures/ folder;
// returns the file's path.
std::string SaveWindowCapture(HWND window, const std::string& name);

// Handles every pending message of this thread, for `milliseconds`.
void PumpMessages(DWORD milliseconds);

}  // namespace orvello::test
