#include "trigger/raw_keyboard_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "trigger_test_support.h"

namespace orvello {
namespace {

using test::FakeRawInputSource;
using test::kIdentityA;
using test::kIdentityB;
using test::kNameA;
using test::kNameB;
using test::recordFor;

constexpr DeviceHandle kKeyboardA = 0x10;
constexpr DeviceHandle kKeyboardB = 0x20;

class RawKeyboardReaderTest : public ::testing::Test {
protected:
    RawKeyboardReaderTest() {
        auto source = std::make_unique<FakeRawInputSource>();
        fake = source.get();
        fake->addKeyboard(kKeyboardA, kNameA);
        fake->addKeyboard(kKeyboardB, kNameB);
        reader.emplace(std::move(source));
    }

    std::optional<KeyboardEvent> decode(DeviceHandle device, ModifierKey key, bool isDown) {
        return reader->decode(fake->queueRecord(recordFor(device, key, isDown)));
    }

    FakeRawInputSource* fake = nullptr;
    std::optional<RawKeyboardReader> reader;
};

TEST_F(RawKeyboardReaderTest, DecodedEventNamesItsKeyboardAndKey) {
    const auto press = decode(kKeyboardB, ModifierKey::RightCtrl, true);
    ASSERT_TRUE(press);
    EXPECT_EQ(press->device, kKeyboardB);
    EXPECT_EQ(press->deviceName, kNameB);
    EXPECT_EQ(press->deviceIdentity, kIdentityB);
    EXPECT_EQ(press->key, ModifierKey::RightCtrl);
    EXPECT_TRUE(press->isDown);

    const auto release = decode(kKeyboardA, ModifierKey::LeftAlt, false);
    ASSERT_TRUE(release);
    EXPECT_EQ(release->deviceIdentity, kIdentityA);
    EXPECT_EQ(release->key, ModifierKey::LeftAlt);
    EXPECT_FALSE(release->isDown);
}

TEST_F(RawKeyboardReaderTest, LetterKeyDecodesAsGeneric) {
    const auto letter = decode(kKeyboardA, ModifierKey::Generic, true);
    ASSERT_TRUE(letter);
    EXPECT_EQ(letter->key, ModifierKey::Generic);
    EXPECT_TRUE(letter->isDown);
}

TEST_F(RawKeyboardReaderTest, UnreadableRecordYieldsNoEvent) {
    EXPECT_FALSE(reader->decode(RawInputHandle{42}));
    EXPECT_EQ(fake->nameReads, 0);
}

TEST_F(RawKeyboardReaderTest, DeviceWithoutNameYieldsNoEventUntilItsNameCanBeRead) {
    fake->device(kKeyboardA)->nameReadable = false;
    EXPECT_FALSE(decode(kKeyboardA, ModifierKey::RightCtrl, true));
    EXPECT_EQ(reader->cachedDeviceCount(), 0u);

    fake->device(kKeyboardA)->nameReadable = true;
    EXPECT_TRUE(decode(kKeyboardA, ModifierKey::RightCtrl, true));
}

TEST_F(RawKeyboardReaderTest, NameIsFetchedOncePerHandle) {
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(decode(kKeyboardA, ModifierKey::LeftShift, i % 2 == 0));
    ASSERT_TRUE(decode(kKeyboardB, ModifierKey::LeftShift, true));
    EXPECT_EQ(fake->nameReads, 2);
    EXPECT_EQ(reader->cachedDeviceCount(), 2u);
}

TEST_F(RawKeyboardReaderTest, NameIsCutAtItsFirstNul) {
    fake->device(kKeyboardA)->reportedName = kNameA + u'\0' + u"stale#tail" + u'\0';
    std::u16string name;
    ASSERT_TRUE(reader->deviceName(kKeyboardA, name));
    EXPECT_EQ(name, kNameA);
}

TEST_F(RawKeyboardReaderTest, ForgottenHandleIsLookedUpAgain) {
    ASSERT_TRUE(decode(kKeyboardA, ModifierKey::LeftShift, true));
    // The system reuses the handle for a different keyboard after a removal.
    fake->device(kKeyboardA)->reportedName = kNameB + u'\0';
    EXPECT_EQ(decode(kKeyboardA, ModifierKey::LeftShift, true)->deviceIdentity, kIdentityA);

    reader->forget(kKeyboardA);
    EXPECT_EQ(reader->cachedDeviceCount(), 0u);
    EXPECT_EQ(decode(kKeyboardA, ModifierKey::LeftShift, true)->deviceIdentity, kIdentityB);
    EXPECT_EQ(fake->nameReads, 2);
}

TEST_F(RawKeyboardReaderTest, ForgettingAnUnknownHandleChangesNothing) {
    ASSERT_TRUE(decode(kKeyboardA, ModifierKey::LeftShift, true));
    reader->forget(0x999);
    EXPECT_EQ(reader->cachedDeviceCount(), 1u);
}

TEST_F(RawKeyboardReaderTest, EnumerationListsKeyboardsInSystemOrderWithIdentities) {
    const auto keyboards = reader->enumerate();
    ASSERT_EQ(keyboards.size(), 2u);
    EXPECT_EQ(keyboards[0].device, kKeyboardA);
    EXPECT_EQ(keyboards[0].deviceName, kNameA);
    EXPECT_EQ(keyboards[0].deviceIdentity, kIdentityA);
    EXPECT_EQ(keyboards[1].device, kKeyboardB);
    EXPECT_EQ(keyboards[1].deviceIdentity, kIdentityB);
    // Enumerated names are cached: the next keystroke needs no lookup.
    ASSERT_TRUE(decode(kKeyboardB, ModifierKey::LeftShift, true));
    EXPECT_EQ(fake->nameReads, 2);
}

TEST_F(RawKeyboardReaderTest, EnumerationSkipsMiceUnnamedDevicesAndRootKeyboards) {
    const std::u16string rdpName =
        u"\\\\?\\Root#RDP_KBD#0000#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";
    fake->addDevice({.handle = 0x30,
                     .reportedName = u"\\\\?\\HID#VID_046D&PID_C077#mouse",
                     .isKeyboard = false});
    fake->addDevice(
        {.handle = 0x40, .reportedName = u"\\\\?\\HID#VID_0001&PID_0002#x", .nameReadable = false});
    fake->addKeyboard(0x50, rdpName);

    const auto keyboards = reader->enumerate();
    ASSERT_EQ(keyboards.size(), 2u);
    EXPECT_EQ(keyboards[0].device, kKeyboardA);
    EXPECT_EQ(keyboards[1].device, kKeyboardB);

    // The remote desktop keyboard is left out of the list but its keys still arrive.
    const auto event = decode(0x50, ModifierKey::RightCtrl, true);
    ASSERT_TRUE(event);
    EXPECT_EQ(event->deviceName, rdpName);
    EXPECT_EQ(event->deviceIdentity, u"\\\\?\\Root#RDP_KBD");
}

TEST_F(RawKeyboardReaderTest, EmptyDeviceListYieldsNoKeyboards) {
    fake->unplug(kKeyboardA);
    fake->unplug(kKeyboardB);
    EXPECT_TRUE(reader->enumerate().empty());
}

TEST_F(RawKeyboardReaderTest, RegistrationGoesToTheSystemAndReportsItsResult) {
    EXPECT_TRUE(reader->registerWindow(0x1234));
    fake->registrationSucceeds = false;
    EXPECT_FALSE(reader->registerWindow(0x5678));
    EXPECT_EQ(fake->registeredWindows, (std::vector<WindowHandle>{0x1234, 0x5678}));
}

}  // namespace
}  // namespace orvello
