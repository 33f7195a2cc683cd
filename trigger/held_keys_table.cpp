#include "trigger/held_keys_table.h"

#include <algorithm>

namespace orvello {

void HeldKeysTable::apply(std::u16string_view identity, ModifierKey key, bool isDown) {
    auto slot = std::lower_bound(entries_.begin(), entries_.end(), identity, entryBefore);
    const bool found = slot != entries_.end() && slot->identity == identity;
    if (!isDown) {
        if (found) slot->keys.erase(key);
        return;
    }
    if (!found) slot = entries_.insert(slot, Entry{DeviceIdentity(identity), {}});
    slot->keys.insert(key);
}

ModifierKeySet HeldKeysTable::keysOn(std::u16string_view identity) const {
    const auto slot = find(identity);
    return slot == entries_.end() ? ModifierKeySet{} : slot->keys;
}

std::size_t HeldKeysTable::keyboardCount() const {
    return static_cast<std::size_t>(std::count_if(
        entries_.begin(), entries_.end(), [](const Entry& entry) { return !entry.keys.empty(); }));
}

void HeldKeysTable::clear() {
    for (Entry& entry : entries_) entry.keys.clear();
}

void HeldKeysTable::removeKeyboardsNotIn(std::span<const DeviceIdentity> attached) {
    std::erase_if(entries_, [attached](const Entry& entry) {
        return std::find(attached.begin(), attached.end(), entry.identity) == attached.end();
    });
}

bool HeldKeysTable::entryBefore(const Entry& entry, std::u16string_view identity) {
    return std::u16string_view(entry.identity) < identity;
}

std::vector<HeldKeysTable::Entry>::const_iterator HeldKeysTable::find(
    std::u16string_view identity) const {
    const auto slot = std::lower_bound(entries_.begin(), entries_.end(), identity, entryBefore);
    return (slot != entries_.end() && slot->identity == identity) ? slot : entries_.end();
}

}  // namespace orvello
