#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace orvello {

// dwFlags bits of a keyboard event.
inline constexpr std::uint32_t kKeyEventExtendedKey = 0x0001;
inline constexpr std::uint32_t kKeyEventKeyUp = 0x0002;
inline constexpr std::uint32_t kKeyEventUnicode = 0x0004;

// The INPUT record type of keyboard events.
inline constexpr std::uint32_t kInputKeyboard = 1;

// Virtual-key codes the output presses on its own account.
namespace virtual_key {
inline constexpr std::uint16_t kReturn = 0x0D;
inline constexpr std::uint16_t kShift = 0x10;
inline constexpr std::uint16_t kControl = 0x11;
inline constexpr std::uint16_t kMenu = 0x12;  // Alt
inline constexpr std::uint16_t kLetterV = 0x56;
inline constexpr std::uint16_t kLeftWin = 0x5B;
}  // namespace virtual_key

// One keyboard event laid out byte for byte like the Windows INPUT record of type
// INPUT_KEYBOARD, so that a list built here goes to SendInput as it is, without a
// second copy. The Windows build checks this layout against INPUT.
struct KeyboardInput {
    std::uint32_t type = kInputKeyboard;
    // KEYBDINPUT starts where INPUT's union does, at pointer alignment.
    alignas(std::uintptr_t) std::uint16_t virtualKey = 0;  // wVk
    std::uint16_t scanCode = 0;  // wScan; the UTF-16 code unit of a Unicode event
    std::uint32_t flags = 0;     // dwFlags
    std::uint32_t time = 0;
    std::uintptr_t extraInfo = 0;
    // MOUSEINPUT, the union's largest member, is eight bytes longer than KEYBDINPUT.
    std::array<std::uint8_t, 8> unionTail{};

    friend bool operator==(const KeyboardInput&, const KeyboardInput&) = default;
};

[[nodiscard]] constexpr KeyboardInput VirtualKeyEvent(std::uint16_t virtualKey,
                                                      std::uint32_t flags) {
    KeyboardInput event;
    event.virtualKey = virtualKey;
    event.flags = flags;
    return event;
}

[[nodiscard]] constexpr KeyboardInput UnicodeKeyEvent(std::uint16_t codeUnit, std::uint32_t flags) {
    KeyboardInput event;
    event.scanCode = codeUnit;
    event.flags = kKeyEventUnicode | flags;
    return event;
}

// Inserts a batch of keyboard events into the input stream in one piece, so nothing the
// user types can land inside it, and tells how many were inserted. On Windows this is
// one SendInput call.
class KeyboardInputSender {
public:
    virtual ~KeyboardInputSender() = default;
    [[nodiscard]] virtual std::size_t Send(std::span<const KeyboardInput> events) = 0;
};

}  // namespace orvello
