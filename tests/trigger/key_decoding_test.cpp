#include "trigger/key_decoding.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "trigger_test_support.h"

namespace orvello {
namespace {

using namespace raw_input;

struct RawKey {
    std::uint16_t virtualKey;
    std::uint16_t makeCode;
    std::uint16_t flags;
    ModifierKey expected;
};

void PrintTo(const RawKey& k, std::ostream* os) {
    *os << "vk=0x" << std::hex << k.virtualKey << " make=0x" << k.makeCode << " flags=" << k.flags;
}

class KeyDecodingTest : public ::testing::TestWithParam<RawKey> {};

TEST_P(KeyDecodingTest, MapsRecordToKeyAndKeepsKeyOnRelease) {
    const RawKey& k = GetParam();
    EXPECT_EQ(modifierKeyFromRawKeyboard(k.virtualKey, k.makeCode, k.flags), k.expected);
    // The break flag says "released"; it never changes which key it was.
    EXPECT_EQ(modifierKeyFromRawKeyboard(k.virtualKey, k.makeCode, k.flags | kKeyBreakFlag),
              k.expected);
}

// Generic VK codes as keyboards send them: Shift is told apart by scan code, Ctrl and Alt by the
// E0 prefix of the right-hand key.
INSTANTIATE_TEST_SUITE_P(
    GenericModifierCodes, KeyDecodingTest,
    ::testing::Values(RawKey{kVkShift, 0x2A, 0, ModifierKey::LeftShift},
                      RawKey{kVkShift, 0x36, 0, ModifierKey::RightShift},
                      RawKey{kVkShift, 0x2A, kKeyE0Flag, ModifierKey::LeftShift},
                      RawKey{kVkShift, 0x36, kKeyE0Flag, ModifierKey::RightShift},
                      RawKey{kVkShift, 0x00, 0, ModifierKey::Generic},
                      RawKey{kVkShift, 0x2B, 0, ModifierKey::Generic},
                      RawKey{kVkShift, 0xAA, 0, ModifierKey::Generic},
                      RawKey{kVkControl, 0x1D, 0, ModifierKey::LeftCtrl},
                      RawKey{kVkControl, 0x1D, kKeyE0Flag, ModifierKey::RightCtrl},
                      RawKey{kVkMenu, 0x38, 0, ModifierKey::LeftAlt},
                      RawKey{kVkMenu, 0x38, kKeyE0Flag, ModifierKey::RightAlt}));

// Sided VK codes decide on their own, whatever the scan code and E0 say.
INSTANTIATE_TEST_SUITE_P(
    SidedModifierCodes, KeyDecodingTest,
    ::testing::Values(RawKey{kVkLeftShift, 0x36, kKeyE0Flag, ModifierKey::LeftShift},
                      RawKey{kVkRightShift, 0x2A, 0, ModifierKey::RightShift},
                      RawKey{kVkLeftControl, 0x1D, kKeyE0Flag, ModifierKey::LeftCtrl},
                      RawKey{kVkRightControl, 0x1D, 0, ModifierKey::RightCtrl},
                      RawKey{kVkLeftMenu, 0x38, kKeyE0Flag, ModifierKey::LeftAlt},
                      RawKey{kVkRightMenu, 0x38, 0, ModifierKey::RightAlt}));

// Every other key is Generic, including the Windows keys and scan codes of modifiers sent with a
// non-modifier VK.
INSTANTIATE_TEST_SUITE_P(
    OtherKeys, KeyDecodingTest,
    ::testing::Values(RawKey{0x41, 0x1E, 0, ModifierKey::Generic},           // A
                      RawKey{0x5B, 0x5B, kKeyE0Flag, ModifierKey::Generic},  // Left Windows
                      RawKey{0x0D, 0x1C, kKeyE0Flag, ModifierKey::Generic},  // keypad Enter
                      RawKey{0x00, 0x2A, 0, ModifierKey::Generic},
                      RawKey{0xFF, 0x36, 0, ModifierKey::Generic},
                      RawKey{0xA6, 0x6A, kKeyE0Flag, ModifierKey::Generic}));  // Browser Back

TEST(KeyPressDecoding, BreakFlagAloneDecidesBetweenPressAndRelease) {
    EXPECT_TRUE(isKeyPressFromRawKeyboard(0));
    EXPECT_TRUE(isKeyPressFromRawKeyboard(kKeyE0Flag));
    EXPECT_FALSE(isKeyPressFromRawKeyboard(kKeyBreakFlag));
    EXPECT_FALSE(isKeyPressFromRawKeyboard(kKeyBreakFlag | kKeyE0Flag));
    EXPECT_TRUE(isKeyPressFromRawKeyboard(0x0004));  // RI_KEY_E1 is no release
}

TEST(ModifierKeyText, NamesEachKeyAndShowsOutOfRangeValuesAsUnknown) {
    EXPECT_EQ(modifierKeyDisplayText(ModifierKey::Generic), u"Generic");
    EXPECT_EQ(modifierKeyDisplayText(ModifierKey::LeftShift), u"Left Shift");
    EXPECT_EQ(modifierKeyDisplayText(ModifierKey::RightShift), u"Right Shift");
    EXPECT_EQ(modifierKeyDisplayText(ModifierKey::LeftCtrl), u"Left Ctrl");
    EXPECT_EQ(modifierKeyDisplayText(ModifierKey::RightCtrl), u"Right Ctrl");
    EXPECT_EQ(modifierKeyDisplayText(ModifierKey::LeftAlt), u"Left Alt");
    EXPECT_EQ(modifierKeyDisplayText(ModifierKey::RightAlt), u"Right Alt");
    EXPECT_EQ(modifierKeyDisplayText(ModifierKey::Unknown), u"Unknown");
    EXPECT_EQ(modifierKeyDisplayText(static_cast<ModifierKey>(8)), u"Unknown");
    EXPECT_EQ(modifierKeyDisplayText(static_cast<ModifierKey>(-1)), u"Unknown");
}

TEST(ModifierKeyText, OnlyTheSixSidedModifiersAreTriggerKeys) {
    EXPECT_FALSE(isTriggerKey(ModifierKey::Unknown));
    EXPECT_FALSE(isTriggerKey(ModifierKey::Generic));
    for (int k = 2; k <= 7; ++k) EXPECT_TRUE(isTriggerKey(static_cast<ModifierKey>(k))) << k;
    EXPECT_FALSE(isTriggerKey(static_cast<ModifierKey>(8)));
}

}  // namespace
}  // namespace orvello
