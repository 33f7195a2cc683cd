// The display text of a key step, with a layout that names a few keys the way a US layout does.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "output/key_step_format.h"

namespace orvello::test {
namespace {

// Scan codes and names of a US layout for the keys used here; it notes every parameter it
// was asked to name.
class UsLayoutNames final : public KeyboardLayoutNames {
public:
    [[nodiscard]] std::uint32_t ScanCodeOf(std::uint16_t virtualKey) const override {
        const auto it = kScanCodes.find(virtualKey);
        return it == kScanCodes.end() ? 0 : it->second;
    }
    [[nodiscard]] std::u16string KeyNameOf(std::int32_t keyParameter) const override {
        askedParameters.push_back(keyParameter);
        const auto it = kNames.find(keyParameter);
        return it == kNames.end() ? std::u16string() : it->second;
    }

    mutable std::vector<std::int32_t> askedParameters;

private:
    inline static const std::map<std::uint16_t, std::uint32_t> kScanCodes = {
        {0x53, 0x1F}, {0x74, 0x3F}, {0x25, 0x4B}, {0x64, 0x4B}, {0x6F, 0x35}, {0x2E, 0x53}};
    inline static const std::map<std::int32_t, std::u16string> kNames = {
        {0x001F0000, u"S"},     {0x003F0000, u"F5"},    {0x014B0000, u"Left"},
        {0x004B0000, u"Num 4"}, {0x01350000, u"Num /"}, {0x01530000, u"Delete"}};
};

TEST(FormatKeyStep, PrefixesInFixedOrderThenTheLayoutsName) {
    const UsLayoutNames layout;
    EXPECT_EQ(FormatKeyStep({.ctrl = true, .shift = true, .vk = 0x53}, layout), u"Ctrl+Shift+S");
    EXPECT_EQ(
        FormatKeyStep({.ctrl = true, .alt = true, .shift = true, .win = true, .vk = 0x74}, layout),
        u"Ctrl+Alt+Shift+Win+F5");
    EXPECT_EQ(FormatKeyStep({.vk = 0x74}, layout), u"F5");
}

TEST(FormatKeyStep, EmptyStepIsNoneWhateverItsModifiers) {
    const UsLayoutNames layout;
    EXPECT_EQ(FormatKeyStep({.ctrl = true}, layout), u"(none)");
    EXPECT_EQ(FormatKeyStep({}, layout), u"(none)");
    EXPECT_TRUE(layout.askedParameters.empty());
}

TEST(FormatKeyStep, NavigationKeysAreNamedAsExtendedKeys) {
    const UsLayoutNames layout;
    EXPECT_EQ(FormatKeyStep({.alt = true, .vk = 0x25}, layout), u"Alt+Left");
    EXPECT_EQ(FormatKeyStep({.vk = 0x64}, layout), u"Num 4") << "keypad 4 shares Left's scan code";
    EXPECT_EQ(FormatKeyStep({.vk = 0x6F}, layout), u"Num /");
    EXPECT_EQ(FormatKeyStep({.vk = 0x2E}, layout), u"Delete");
}

TEST(FormatKeyStep, KeyTheLayoutCannotNameShowsItsNumber) {
    const UsLayoutNames layout;
    EXPECT_EQ(FormatKeyStep({.ctrl = true, .win = true, .vk = 255}, layout), u"Ctrl+Win+VK(255)");
    EXPECT_EQ(FormatKeyStep({.vk = 0xB3}, layout), u"VK(179)");
}

TEST(KeyNameParameter, ScanCodeInBits16To23AndExtendedBitForTheTwelveKeys) {
    EXPECT_EQ(KeyNameParameter(0x41, 0x1E), 0x001E0000);
    EXPECT_EQ(KeyNameParameter(0x41, 0xE01E), 0x001E0000) << "only the low byte is a scan code";
    for (std::uint16_t vk :
         {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E, 0x6F, 0x90})
        EXPECT_EQ(KeyNameParameter(vk, 0x10), 0x01100000) << "vk " << vk;
    for (std::uint16_t vk : {0x20, 0x29, 0x2C, 0x2F, 0x6E, 0x91, 0x5B, 0xA3})
        EXPECT_EQ(KeyNameParameter(vk, 0x10), 0x00100000) << "vk " << vk;
}

}  // namespace
}  // namespace orvello::test
