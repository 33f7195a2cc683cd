#pragma once

#include <cstdint>

#include "trigger/modifier_key.h"

namespace orvello {

// Maps the fields of one raw keyboard record (RAWKEYBOARD.VKey, .MakeCode, .Flags) to the key
// the trigger subsystem sees. Runs for every keystroke of every keyboard, so it is a plain
// switch without any lookup structures.
[[nodiscard]] ModifierKey modifierKeyFromRawKeyboard(std::uint16_t virtualKey,
                                                     std::uint16_t makeCode, std::uint16_t flags);

// True for a press (including every auto-repeat press), false for a release.
[[nodiscard]] bool isKeyPressFromRawKeyboard(std::uint16_t flags);

}  // namespace orvello

// The few Raw Input and virtual-key values that keyboard decoding needs. They mirror the
// Windows SDK values so the portable decoder does not depend on the SDK headers; the names are
// chosen not to collide with the SDK's macros in the Windows build.
namespace orvello::raw_input {

// RAWKEYBOARD.Flags bits.
inline constexpr std::uint16_t kKeyBreakFlag = 0x0001;  // RI_KEY_BREAK: the key went up
inline constexpr std::uint16_t kKeyE0Flag = 0x0002;     // RI_KEY_E0: extended (right-hand) key

// RAWKEYBOARD.VKey values. Keyboards normally report the generic VK_SHIFT, VK_CONTROL and
// VK_MENU codes; the sided codes are accepted too because some drivers and injectors send them.
inline constexpr std::uint16_t kVkShift = 0x10;         // VK_SHIFT
inline constexpr std::uint16_t kVkControl = 0x11;       // VK_CONTROL
inline constexpr std::uint16_t kVkMenu = 0x12;          // VK_MENU (Alt)
inline constexpr std::uint16_t kVkLeftShift = 0xA0;     // VK_LSHIFT
inline constexpr std::uint16_t kVkRightShift = 0xA1;    // VK_RSHIFT
inline constexpr std::uint16_t kVkLeftControl = 0xA2;   // VK_LCONTROL
inline constexpr std::uint16_t kVkRightControl = 0xA3;  // VK_RCONTROL
inline constexpr std::uint16_t kVkLeftMenu = 0xA4;      // VK_LMENU
inline constexpr std::uint16_t kVkRightMenu = 0xA5;     // VK_RMENU

// RAWKEYBOARD.MakeCode values of the two Shift keys (set 1 scan codes). Shift has no E0 variant,
// so only the scan code tells left from right.
inline constexpr std::uint16_t kMakeCodeLeftShift = 0x2A;
inline constexpr std::uint16_t kMakeCodeRightShift = 0x36;

}  // namespace orvello::raw_input
