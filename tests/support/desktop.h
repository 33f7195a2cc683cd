#pragma once
// The virtual desktop seen from a test program under Wine: giving a Wine
// window the X focus and pressing keys on the virtual keyboard (XTest through
// xdotool). Keys are X keycodes, because xdotool's keysym names press the
// left modifier for the right one: 37 Left Ctrl, 105 Right Ctrl, 50 Left
// Shift, 62 Right Shift, 64 Left Alt, 108 Right Alt, 38 the letter A.
#include <windows.h>

#include <string>

namespace orvello::test {

namespace keycode {
constexpr int kLeftCtrl = 37, kRightCtrl = 105, kLeftShift = 50, kRightShift = 62;
constexpr int kLeftAlt = 64, kRightAlt = 108, kLetterA = 38;
}  // namespace keycode

// Raw Input reaches Wine windows only while some Wine window has the X focus.
[[nodiscard]] bool FocusWindow(HWND window);

[[nodiscard]] bool KeyDown(int xKeycode);
[[nodiscard]] bool KeyUp(int xKeycode);
// Presses and releases the key in one go, well within a tap's time.
[[nodiscard]] bool KeyTap(int xKeycode);

// Shows a top-level test window and gives it the focus.
[[nodiscard]] bool ShowAndFocus(HWND window);

}  // namespace orvello::test
