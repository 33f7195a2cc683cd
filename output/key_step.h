#pragma once

#include <cstdint>

namespace orvello {

// One key chord to synthesize: generic modifiers held around one main key. It belongs to
// the output that presses it; the voice commands that store it and the editor panels that
// capture it sit above.
// The modifiers name Ctrl/Alt/Shift/Win in general, never a left or right key;
// they are unrelated to the left/right trigger keys of the keyboard trigger.
struct KeyStep {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool win = false;
    // Windows virtual-key code of the main key; 0 means no key is set, and such a
    // step is shown as "(none)" and sends nothing.
    std::uint16_t vk = 0;

    [[nodiscard]] bool IsEmpty() const { return vk == 0; }

    friend bool operator==(const KeyStep&, const KeyStep&) = default;
};

static_assert(sizeof(KeyStep) == 6, "a key step carries six bytes of payload");

}  // namespace orvello
