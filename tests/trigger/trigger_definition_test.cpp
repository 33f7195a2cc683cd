#include "trigger/trigger_definition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "trigger_test_support.h"

namespace orvello {
namespace {

using test::kIdentityA;
using test::kIdentityB;
using Keys = std::vector<ModifierKey>;
constexpr auto LS = ModifierKey::LeftShift;
constexpr auto RS = ModifierKey::RightShift;
constexpr auto LC = ModifierKey::LeftCtrl;
constexpr auto RC = ModifierKey::RightCtrl;
constexpr auto LA = ModifierKey::LeftAlt;
constexpr auto RA = ModifierKey::RightAlt;

TriggerDefinition anyKeyboardTrigger(Keys keys) {
    return {std::move(keys), true, {}};
}
TriggerDefinition specificTrigger(Keys keys, std::u16string deviceId) {
    return {std::move(keys), false, std::move(deviceId)};
}

TEST(ModifierMask, EachKeyHasItsOwnBit) {
    EXPECT_EQ(keysToMask(Keys{LS}), 0x01u);
    EXPECT_EQ(keysToMask(Keys{RS}), 0x02u);
    EXPECT_EQ(keysToMask(Keys{LC}), 0x04u);
    EXPECT_EQ(keysToMask(Keys{RC}), 0x08u);
    EXPECT_EQ(keysToMask(Keys{LA}), 0x10u);
    EXPECT_EQ(keysToMask(Keys{RA}), 0x20u);
    EXPECT_EQ(keysToMask(Keys{RA, LS, RC}), 0x29u);
}

TEST(ModifierMask, KeysOutsideTheTriggerRangeAddNothing) {
    const Keys keys = {ModifierKey::Unknown, ModifierKey::Generic, static_cast<ModifierKey>(8),
                       static_cast<ModifierKey>(-3), static_cast<ModifierKey>(40)};
    EXPECT_EQ(keysToMask(keys), 0u);
    EXPECT_EQ(keysToMask(Keys{}), 0u);
}

TEST(ModifierMask, MaskYieldsAscendingKeysAndIgnoresHighBits) {
    EXPECT_EQ(maskToKeys(0x28), (Keys{RC, RA}));
    EXPECT_EQ(maskToKeys(0x40), Keys{});
    EXPECT_EQ(maskToKeys(0xFFFFFFC8u), (Keys{RC}));
    EXPECT_EQ(maskToKeys(0x3F), (Keys{LS, RS, LC, RC, LA, RA}));
    EXPECT_EQ(maskToKeys(0), Keys{});
}

TEST(ModifierMask, EverySixBitMaskSurvivesTheRoundTrip) {
    for (ModifierMask mask = 0; mask < 0x40; ++mask) {
        const Keys keys = maskToKeys(mask);
        EXPECT_EQ(keysToMask(keys), mask);
        EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << mask;
    }
}

TEST(ModifierMask, KeySetFromMaskHoldsOnlyTheSixKeyBits) {
    const ModifierKeySet set = ModifierKeySet::fromBits(0xFFFFFFC8u);
    EXPECT_EQ(set.bits(), 0x08u);
    EXPECT_EQ(set.size(), 1);
    EXPECT_TRUE(set.contains(RC));
}

TEST(TriggerText, NotSetWithoutKeys) {
    EXPECT_EQ(triggerText(TriggerDefinition{}), u"Not set");
    EXPECT_EQ(triggerText(specificTrigger({}, kIdentityA)), u"Not set");
    EXPECT_EQ(triggerText(anyKeyboardTrigger(maskToKeys(0x40))), u"Not set");
}

TEST(TriggerText, JoinsKeyNamesInListOrder) {
    EXPECT_EQ(triggerText(anyKeyboardTrigger({RC})), u"Right Ctrl");
    EXPECT_EQ(triggerText(anyKeyboardTrigger({LS, LA})), u"Left Shift + Left Alt");
    EXPECT_EQ(triggerText(anyKeyboardTrigger({LS, RS, LC, RC, LA, RA})),
              u"Left Shift + Right Shift + Left Ctrl + Right Ctrl + Left Alt + Right Alt");
}

TEST(TriggerText, AnyKeyboardTriggerShowsNoKeyboardEvenWithAStaleDeviceId) {
    TriggerDefinition trigger = anyKeyboardTrigger({RC});
    trigger.deviceId = kIdentityA;
    EXPECT_EQ(triggerText(trigger), u"Right Ctrl");
}

TEST(TriggerText, SpecificTriggerNamesItsKeyboard) {
    EXPECT_EQ(triggerText(specificTrigger({RC}, kIdentityA)),
              u"Right Ctrl | Keyboard: VID_046D&PID_C52B&MI_00");
    EXPECT_EQ(triggerText(specificTrigger({LC, RA}, u"\\\\?\\Root#RDP_KBD")),
              u"Left Ctrl + Right Alt | Keyboard: \\\\?\\Root#RDP_KBD");
    EXPECT_EQ(triggerText(specificTrigger({RS}, u"")), u"Right Shift | Keyboard: Specific");
}

TEST(SplitModeRule, UnsetCommandTriggerMeansUnifiedMode) {
    EXPECT_FALSE(isSplitMode(anyKeyboardTrigger({RC}), TriggerDefinition{}));
    EXPECT_FALSE(isSplitMode(TriggerDefinition{}, TriggerDefinition{}));
    EXPECT_FALSE(isSplitMode(specificTrigger({RC}, kIdentityA), specificTrigger({}, kIdentityB)));
}

TEST(SplitModeRule, CommandTriggerEqualToDictationTriggerMeansUnifiedMode) {
    EXPECT_FALSE(isSplitMode(anyKeyboardTrigger({RC}), anyKeyboardTrigger({RC})));
    EXPECT_FALSE(
        isSplitMode(specificTrigger({LC, LS}, kIdentityA), specificTrigger({LC, LS}, kIdentityA)));
    // Device ids do not count while both triggers accept any keyboard.
    TriggerDefinition command = anyKeyboardTrigger({RC});
    command.deviceId = kIdentityB;
    EXPECT_FALSE(isSplitMode(anyKeyboardTrigger({RC}), command));
}

TEST(SplitModeRule, DifferentKeysScopeOrKeyboardMeanSplitMode) {
    EXPECT_TRUE(isSplitMode(anyKeyboardTrigger({RC}), anyKeyboardTrigger({RC, RA})));
    EXPECT_TRUE(isSplitMode(anyKeyboardTrigger({LC}), anyKeyboardTrigger({RC})));
    EXPECT_TRUE(isSplitMode(TriggerDefinition{}, anyKeyboardTrigger({RC})));
    EXPECT_TRUE(isSplitMode(anyKeyboardTrigger({RC}), specificTrigger({RC}, kIdentityA)));
    EXPECT_TRUE(isSplitMode(specificTrigger({RC}, kIdentityA), specificTrigger({RC}, kIdentityB)));
    // Key lists are compared position by position, so order matters.
    EXPECT_TRUE(isSplitMode(anyKeyboardTrigger({LC, RA}), anyKeyboardTrigger({RA, LC})));
}

TEST(TriggerDefinitionDefaults, NewDefinitionIsUnsetAndAcceptsAnyKeyboard) {
    const TriggerDefinition trigger;
    EXPECT_FALSE(trigger.isSet());
    EXPECT_TRUE(trigger.anyKeyboard);
    EXPECT_TRUE(trigger.deviceId.empty());
}

}  // namespace
}  // namespace orvello
