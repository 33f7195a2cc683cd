#include "trigger/key_decoding.h"

namespace orvello {

namespace {

ModifierKey shiftFromMakeCode(std::uint16_t makeCode) {
    switch (makeCode) {
        case raw_input::kMakeCodeLeftShift:
            return ModifierKey::LeftShift;
        case raw_input::kMakeCodeRightShift:
            return ModifierKey::RightShift;
        default:
            return ModifierKey::Generic;
    }
}

bool isExtendedKey(std::uint16_t flags) {
    return (flags & raw_input::kKeyE0Flag) != 0;
}

}  // namespace

ModifierKey modifierKeyFromRawKeyboard(std::uint16_t virtualKey, std::uint16_t makeCode,
                                       std::uint16_t flags) {
    using namespace raw_input;
    switch (virtualKey) {
        case kVkShift:
            return shiftFromMakeCode(makeCode);
        case kVkControl:
            return isExtendedKey(flags) ? ModifierKey::RightCtrl : ModifierKey::LeftCtrl;
        case kVkMenu:
            return isExtendedKey(flags) ? ModifierKey::RightAlt : ModifierKey::LeftAlt;
        case kVkLeftShift:
            return ModifierKey::LeftShift;
        case kVkRightShift:
            return ModifierKey::RightShift;
        case kVkLeftControl:
            return ModifierKey::LeftCtrl;
        case kVkRightControl:
            return ModifierKey::RightCtrl;
        case kVkLeftMenu:
            return ModifierKey::LeftAlt;
        case kVkRightMenu:
            return ModifierKey::RightAlt;
        default:
            return ModifierKey::Generic;
    }
}

bool isKeyPressFromRawKeyboard(std::uint16_t flags) {
    return (flags & raw_input::kKeyBreakFlag) == 0;
}

}  // namespace orvello
