#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "output/key_step.h"

namespace orvello {

// What naming a key asks of the active keyboard layout. On Windows: MapVirtualKeyW with
// the virtual-key-to-scan-code mapping, and GetKeyNameTextW.
class KeyboardLayoutNames {
public:
    virtual ~KeyboardLayoutNames() = default;
    [[nodiscard]] virtual std::uint32_t ScanCodeOf(std::uint16_t virtualKey) const = 0;
    // The layout's name for a key-message parameter; empty when it has none.
    [[nodiscard]] virtual std::u16string KeyNameOf(std::int32_t keyParameter) const = 0;
};

// Room GetKeyNameTextW is given for a name, terminating NUL included.
inline constexpr std::size_t kKeyNameBufferChars = 64;

// Keys whose name is the extended one: without the extended bit the layout would name
// the numeric keypad key that shares the scan code (Left would read as keypad 4).
[[nodiscard]] bool NamedAsExtendedKey(std::uint16_t virtualKey);

// The key-message parameter the layout names a key by: the scan code in bits 16 to 23,
// the extended-key bit 24 for the keys above.
[[nodiscard]] std::int32_t KeyNameParameter(std::uint16_t virtualKey, std::uint32_t scanCode);

// The text the key panels show for a step: "Ctrl+", "Alt+", "Shift+", "Win+" for the held
// modifiers, in that order, then the layout's name of the key, or "VK(n)" when the layout
// has none. An empty step reads "(none)" whatever its modifiers.
[[nodiscard]] std::u16string FormatKeyStep(const KeyStep& step, const KeyboardLayoutNames& layout);

}  // namespace orvello
