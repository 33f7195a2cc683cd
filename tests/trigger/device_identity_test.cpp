#include "trigger/device_identity.h"

#include <gtest/gtest.h>

#include <string>

#include "trigger_test_support.h"

namespace orvello {
namespace {

using test::kIdentityA;
using test::kNameA;

TEST(DeviceIdentityOf, HidNameLosesInstancePathAndInterfaceClass) {
    EXPECT_EQ(deviceIdentityOf(kNameA), kIdentityA);
    // Same model, other instance (another USB port): same identity.
    EXPECT_EQ(deviceIdentityOf(u"\\\\?\\HID#VID_046D&PID_C52B&MI_00#9&11aa&0&0001#{884b}"),
              kIdentityA);
}

TEST(DeviceIdentityOf, NameOfTwelveCharactersOrLessIsItsOwnIdentity) {
    const std::u16string twelve = u"\\\\?\\HID#abc#";  // '#' at index 11 does not count
    ASSERT_EQ(twelve.size(), 12u);
    EXPECT_EQ(deviceIdentityOf(twelve), twelve);
    EXPECT_EQ(deviceIdentityOf(u""), u"");
    EXPECT_EQ(deviceIdentityOf(u"#"), u"#");
}

TEST(DeviceIdentityOf, HashAtIndexTwelveIsTheFirstThatCounts) {
    const std::u16string name = u"\\\\?\\HID#abcd#efg";
    ASSERT_EQ(name.find(u'#', 8), 12u);
    EXPECT_EQ(deviceIdentityOf(name), u"\\\\?\\HID#abcd");
}

TEST(DeviceIdentityOf, FortyCharacterNameIsCutAtItsHashAfterIndexEleven) {
    std::u16string name(40, u'x');
    name[3] = u'#';  // before index 12: ignored
    name[31] = u'#';
    EXPECT_EQ(deviceIdentityOf(name), name.substr(0, 31));
}

TEST(DeviceIdentityOf, NameWithHashesOnlyBeforeIndexTwelveIsItsOwnIdentity) {
    const std::u16string name = u"\\\\?\\HID#VID#PID_0001&MI_00";
    EXPECT_EQ(deviceIdentityOf(name), name);
}

TEST(DeviceDisplayName, DropsHidPrefixInAnyLetterCase) {
    EXPECT_EQ(deviceDisplayName(kIdentityA), u"VID_046D&PID_C52B&MI_00");
    EXPECT_EQ(deviceDisplayName(u"\\\\?\\hid#VID_046D&PID_C52B&MI_00"), u"VID_046D&PID_C52B&MI_00");
    EXPECT_EQ(deviceDisplayName(u"\\\\?\\HiD#x"), u"x");
}

TEST(DeviceDisplayName, KeepsPrefixAloneAndOtherNamesUnchanged) {
    EXPECT_EQ(deviceDisplayName(u"\\\\?\\HID#"), u"\\\\?\\HID#");  // exactly 8 characters
    EXPECT_EQ(deviceDisplayName(u"\\\\?\\ACPI#PNP0303#4&1d401fb5&0"),
              u"\\\\?\\ACPI#PNP0303#4&1d401fb5&0");
    EXPECT_EQ(deviceDisplayName(u"x\\\\?\\HID#VID_1"), u"x\\\\?\\HID#VID_1");  // not at the start
    EXPECT_EQ(deviceDisplayName(u"\\\\?/HID#VID_1"), u"\\\\?/HID#VID_1");
    EXPECT_EQ(deviceDisplayName(u""), u"");
}

TEST(RootEnumeratedDevice, RecognisesRootMarkerCaseSensitively) {
    EXPECT_TRUE(isRootEnumeratedDevice(u"\\\\?\\Root#RDP_KBD#0000#{884b96c3-56ef-11d1-bc8c}"));
    EXPECT_TRUE(isRootEnumeratedDevice(u"\\Root#"));
    EXPECT_FALSE(isRootEnumeratedDevice(u"\\\\?\\ROOT#RDP_KBD#0000"));
    EXPECT_FALSE(isRootEnumeratedDevice(u"Root#RDP_KBD"));
    EXPECT_FALSE(isRootEnumeratedDevice(kNameA));
}

}  // namespace
}  // namespace orvello
