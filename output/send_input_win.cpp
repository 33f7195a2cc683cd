#include <windows.h>

#include <cstddef>

#include "output/key_step_events.h"
#include "output/output_win.h"
#include "output/text_events.h"

namespace orvello {

namespace {

// The portable record is handed to SendInput as an INPUT array; it must match field for field.
static_assert(sizeof(KeyboardInput) == sizeof(INPUT));
static_assert(offsetof(KeyboardInput, type) == offsetof(INPUT, type));
static_assert(offsetof(KeyboardInput, virtualKey) ==
              offsetof(INPUT, ki) + offsetof(KEYBDINPUT, wVk));
static_assert(offsetof(KeyboardInput, scanCode) ==
              offsetof(INPUT, ki) + offsetof(KEYBDINPUT, wScan));
static_assert(offsetof(KeyboardInput, flags) ==
              offsetof(INPUT, ki) + offsetof(KEYBDINPUT, dwFlags));
static_assert(offsetof(KeyboardInput, time) == offsetof(INPUT, ki) + offsetof(KEYBDINPUT, time));
static_assert(offsetof(KeyboardInput, extraInfo) ==
              offsetof(INPUT, ki) + offsetof(KEYBDINPUT, dwExtraInfo));
static_assert(kInputKeyboard == INPUT_KEYBOARD);
static_assert(kKeyEventExtendedKey == KEYEVENTF_EXTENDEDKEY && kKeyEventKeyUp == KEYEVENTF_KEYUP &&
              kKeyEventUnicode == KEYEVENTF_UNICODE);
static_assert(virtual_key::kReturn == VK_RETURN && virtual_key::kControl == VK_CONTROL &&
              virtual_key::kMenu == VK_MENU && virtual_key::kShift == VK_SHIFT &&
              virtual_key::kLeftWin == VK_LWIN);

}  // namespace

std::size_t SendInputSender::Send(std::span<const KeyboardInput> events) {
    // SendInput only reads the records; its prototype merely lacks the const.
    auto* records = reinterpret_cast<INPUT*>(const_cast<KeyboardInput*>(events.data()));
    return SendInput(static_cast<UINT>(events.size()), records, sizeof(INPUT));
}

bool TypeText(std::wstring_view text) {
    SendInputSender sender;
    return TypeText(text, sender);
}

bool SendKeyStep(const KeyStep& step) {
    SendInputSender sender;
    return SendKeyStep(step, sender);
}

bool SendKeySteps(std::span<const KeyStep> steps) {
    SendInputSender sender;
    return SendKeySteps(steps, sender);
}

bool SendMediaKey(std::uint16_t virtualKey) {
    SendInputSender sender;
    return SendMediaKey(virtualKey, sender);
}

}  // namespace orvello
