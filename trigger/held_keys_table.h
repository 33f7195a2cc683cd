#pragma once

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "trigger/device_identity.h"
#include "trigger/keyboard_event.h"
#include "trigger/modifier_key.h"

namespace orvello {

// The trigger keys currently held, keyboard by keyboard, in identity order (UTF-16 code units).
// Keys held on different keyboards are never combined. A keyboard whose last key went up no
// longer counts as an entry; its slot is kept idle so that the next press on it allocates
// nothing, which keeps the per-keystroke path free of allocations.
class HeldKeysTable {
public:
    // Records a press or release of a trigger key on the keyboard. A release on a keyboard that
    // holds nothing changes nothing; a repeated press changes nothing.
    void apply(std::u16string_view identity, ModifierKey key, bool isDown);

    // The keys held on the keyboard; empty when it holds none.
    [[nodiscard]] ModifierKeySet keysOn(std::u16string_view identity) const;
    [[nodiscard]] bool holdsKeys(std::u16string_view identity) const {
        return !keysOn(identity).empty();
    }
    [[nodiscard]] std::size_t keyboardCount() const;

    // Calls visit(identity, keys) for every keyboard holding keys, in identity order. The identity
    // view stays valid until the table is next changed.
    template <typename Visitor>
    void forEachKeyboard(Visitor&& visit) const {
        for (const Entry& entry : entries_) {
            if (!entry.keys.empty()) visit(std::u16string_view(entry.identity), entry.keys);
        }
    }

    // Forgets every held key.
    void clear();

    // Drops the keyboards that are not among the attached ones.
    void removeKeyboardsNotIn(std::span<const DeviceIdentity> attached);

private:
    struct Entry {
        DeviceIdentity identity;
        ModifierKeySet keys;  // empty: idle slot, not an entry
    };

    static bool entryBefore(const Entry& entry, std::u16string_view identity);
    [[nodiscard]] std::vector<Entry>::const_iterator find(std::u16string_view identity) const;

    std::vector<Entry> entries_;  // sorted by identity, unique
};

}  // namespace orvello
