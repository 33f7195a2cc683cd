#include "output/key_step_format.h"

#include <string_view>

namespace orvello {

namespace {

constexpr std::int32_t kExtendedKeyBit = 1 << 24;

std::u16string ModifierPrefixes(const KeyStep& step) {
    std::u16string prefixes;
    if (step.ctrl) prefixes += u"Ctrl+";
    if (step.alt) prefixes += u"Alt+";
    if (step.shift) prefixes += u"Shift+";
    if (step.win) prefixes += u"Win+";
    return prefixes;
}

std::u16string UnnamedKeyText(std::uint16_t virtualKey) {
    const std::string digits = std::to_string(virtualKey);
    return u"VK(" + std::u16string(digits.begin(), digits.end()) + u")";
}

}  // namespace

bool NamedAsExtendedKey(std::uint16_t virtualKey) {
    constexpr std::uint16_t kPageUp = 0x21, kDown = 0x28, kInsert = 0x2D, kDelete = 0x2E;
    constexpr std::uint16_t kNumpadDivide = 0x6F, kNumLock = 0x90;
    return (virtualKey >= kPageUp && virtualKey <= kDown) || virtualKey == kInsert ||
           virtualKey == kDelete || virtualKey == kNumpadDivide || virtualKey == kNumLock;
}

std::int32_t KeyNameParameter(std::uint16_t virtualKey, std::uint32_t scanCode) {
    std::int32_t parameter = static_cast<std::int32_t>(scanCode & 0xFF) << 16;
    if (NamedAsExtendedKey(virtualKey)) parameter |= kExtendedKeyBit;
    return parameter;
}

std::u16string FormatKeyStep(const KeyStep& step, const KeyboardLayoutNames& layout) {
    if (step.IsEmpty()) return u"(none)";
    const std::u16string name =
        layout.KeyNameOf(KeyNameParameter(step.vk, layout.ScanCodeOf(step.vk)));
    return ModifierPrefixes(step) + (name.empty() ? UnnamedKeyText(step.vk) : name);
}

}  // namespace orvello
