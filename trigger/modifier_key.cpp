#include "trigger/modifier_key.h"

#include <array>

namespace orvello {

std::u16string_view modifierKeyDisplayText(ModifierKey key) {
    static constexpr std::array<std::u16string_view, 8> kDisplayTexts = {
        u"Unknown",   u"Generic",    u"Left Shift", u"Right Shift",
        u"Left Ctrl", u"Right Ctrl", u"Left Alt",   u"Right Alt",
    };
    const auto index = static_cast<std::int32_t>(key);
    if (index < 0 || index >= static_cast<std::int32_t>(kDisplayTexts.size())) {
        return kDisplayTexts[0];
    }
    return kDisplayTexts[static_cast<std::size_t>(index)];
}

}  // namespace orvello
