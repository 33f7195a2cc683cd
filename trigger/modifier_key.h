#pragma once

#include <bit>
#include <cstdint>
#include <string_view>

namespace orvello {

// The key codes the trigger subsystem works with. Left and right Shift, Ctrl and Alt are told
// apart; every other key is Generic. The values are stored as 32-bit integers and travel into the
// registry through ModifierMask, so they must not change.
enum class ModifierKey : std::int32_t {
    Unknown = 0,
    Generic = 1,
    LeftShift = 2,
    RightShift = 3,
    LeftCtrl = 4,
    RightCtrl = 5,
    LeftAlt = 6,
    RightAlt = 7,
};

inline constexpr ModifierKey kFirstTriggerKey = ModifierKey::LeftShift;
inline constexpr ModifierKey kLastTriggerKey = ModifierKey::RightAlt;
inline constexpr int kTriggerKeyCount = 6;

// Only the six left/right modifiers can be part of a trigger.
[[nodiscard]] constexpr bool isTriggerKey(ModifierKey key) {
    return key >= kFirstTriggerKey && key <= kLastTriggerKey;
}

// "Left Shift", "Right Alt", ...; any value outside Generic..RightAlt shows as "Unknown".
[[nodiscard]] std::u16string_view modifierKeyDisplayText(ModifierKey key);

// A set of trigger keys as six bits, bit (key - LeftShift) per key. Walking the bits from low to
// high visits the keys in ascending order, which is the order every key list of the trigger
// subsystem uses. Keys outside LeftShift..RightAlt are never members.
class ModifierKeySet {
public:
    constexpr ModifierKeySet() = default;

    [[nodiscard]] static constexpr ModifierKeySet fromBits(std::uint32_t bits) {
        ModifierKeySet set;
        set.bits_ = static_cast<std::uint8_t>(bits & kAllBits);
        return set;
    }

    [[nodiscard]] constexpr std::uint32_t bits() const { return bits_; }
    [[nodiscard]] constexpr bool empty() const { return bits_ == 0; }
    [[nodiscard]] constexpr int size() const { return std::popcount(bits_); }

    [[nodiscard]] constexpr bool contains(ModifierKey key) const {
        return isTriggerKey(key) && (bits_ & bitOf(key)) != 0;
    }
    constexpr void insert(ModifierKey key) {
        if (isTriggerKey(key)) bits_ |= bitOf(key);
    }
    constexpr void erase(ModifierKey key) {
        if (isTriggerKey(key)) bits_ &= static_cast<std::uint8_t>(~bitOf(key));
    }
    constexpr void clear() { bits_ = 0; }

    // Calls visit(key) for every member, ascending.
    template <typename Visitor>
    constexpr void forEach(Visitor&& visit) const {
        for (int bit = 0; bit < kTriggerKeyCount; ++bit) {
            if ((bits_ >> bit) & 1U) {
                visit(static_cast<ModifierKey>(static_cast<int>(kFirstTriggerKey) + bit));
            }
        }
    }

    friend constexpr bool operator==(ModifierKeySet, ModifierKeySet) = default;

private:
    static constexpr std::uint8_t kAllBits = (1U << kTriggerKeyCount) - 1U;

    static constexpr std::uint8_t bitOf(ModifierKey key) {
        return static_cast<std::uint8_t>(
            1U << (static_cast<int>(key) - static_cast<int>(kFirstTriggerKey)));
    }

    std::uint8_t bits_ = 0;
};

}  // namespace orvello
