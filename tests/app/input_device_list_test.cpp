#include "app/input_device_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_profile_store.h"

namespace orvello {
namespace {

using test::MemoryProfileStore;
using Entries = std::vector<InputDeviceEntry>;

const Entries kDevices = {{0, u"Microphone (USB Audio)"},
                          {2, u"Line In (Realtek Audio)"},
                          {3, u"Mikrofon (Gerät Ä)"},
                          {4, u"line in (realtek audio)"}};

TEST(DeviceNameMatching, IgnoresLetterCaseInCommonScripts) {
    EXPECT_TRUE(DeviceNamesMatch(u"Microphone (USB Audio)", u"MICROPHONE (usb audio)"));
    EXPECT_TRUE(DeviceNamesMatch(u"Mikrofon (Gerät Ä)", u"MIKROFON (GERÄT ä)"));
    EXPECT_TRUE(DeviceNamesMatch(u"Zestaw słuchawkowy", u"ZESTAW SŁUCHAWKOWY"));
    EXPECT_TRUE(DeviceNamesMatch(u"Sluchátka Čeština Ľudia", u"SLUCHÁTKA ČEŠTINA ĽUDIA"));
    EXPECT_TRUE(DeviceNamesMatch(u"Ÿ Œ Ž", u"ÿ œ ž"));
    EXPECT_TRUE(DeviceNamesMatch(u"Микрофон (Ёлка)", u"МИКРОФОН (ёЛКА)"));
    EXPECT_TRUE(DeviceNamesMatch(u"ΜΙΚΡΟΦΩΝΟ", u"μικροφωνο"));
    EXPECT_TRUE(DeviceNamesMatch(u"", u""));
}

TEST(DeviceNameMatching, DifferentNamesDoNotMatch) {
    EXPECT_FALSE(DeviceNamesMatch(u"Microphone", u"Microphone (USB Audio)"));
    EXPECT_FALSE(DeviceNamesMatch(u"Microphone (USB Audio)", u"Microphone"));
    EXPECT_FALSE(DeviceNamesMatch(u"Mic 1", u"Mic 2"));
    EXPECT_FALSE(DeviceNamesMatch(u"a×b", u"a÷b"));  // signs, not letters
    EXPECT_FALSE(DeviceNamesMatch(u"[", u"{"));      // ASCII punctuation 0x20 apart
    EXPECT_FALSE(DeviceNamesMatch(u"İ", u"ı"));      // Turkish dotted and dotless I
    EXPECT_FALSE(DeviceNamesMatch(u"Mic", u""));
}

TEST(InputDeviceChoice, PicksTheFirstMatchOrElseTheFirstDevice) {
    EXPECT_EQ(ChooseInputDevice(kDevices, u"Line In (Realtek Audio)"), 1u);
    EXPECT_EQ(ChooseInputDevice(kDevices, u"LINE IN (REALTEK AUDIO)"), 1u);
    EXPECT_EQ(ChooseInputDevice(kDevices, u"mikrofon (gerät ä)"), 2u);
    EXPECT_EQ(ChooseInputDevice(kDevices, u"Headset (Bluetooth)"), 0u);
    EXPECT_EQ(ChooseInputDevice(kDevices, u"Line In"), 0u);
    EXPECT_EQ(ChooseInputDevice(kDevices, u""), 0u);
    EXPECT_EQ(ChooseInputDevice(Entries{}, u"Line In (Realtek Audio)"), std::nullopt);
    EXPECT_EQ(ChooseInputDevice(Entries{}, u""), std::nullopt);
}

TEST(InputDeviceChoice, SavedNameIsReadOnlyForAFilledList) {
    MemoryProfileStore profile;
    profile.values[u"InputDeviceId"] = u"line in (REALTEK audio)";
    EXPECT_EQ(SelectSavedInputDevice(profile, kDevices), 1u);
    EXPECT_EQ(profile.accesses, std::vector<std::string>{"read InputDeviceId"});

    MemoryProfileStore untouched;
    untouched.values[u"InputDeviceId"] = u"Microphone (USB Audio)";
    EXPECT_EQ(SelectSavedInputDevice(untouched, Entries{}), std::nullopt);
    EXPECT_TRUE(untouched.accesses.empty());

    MemoryProfileStore firstRun;
    EXPECT_EQ(SelectSavedInputDevice(firstRun, kDevices), 0u);
    EXPECT_TRUE(firstRun.Writes().empty());
}

TEST(InputDeviceSaving, StoresTheSelectedNameAsListed) {
    MemoryProfileStore profile;
    EXPECT_TRUE(SaveInputDevice(profile, kDevices, 3u));
    EXPECT_EQ(profile.accesses, std::vector<std::string>{"write InputDeviceId"});
    EXPECT_EQ(std::get<std::u16string>(profile.values[u"InputDeviceId"]),
              u"line in (realtek audio)");
}

TEST(InputDeviceSaving, NothingSelectedWritesNothing) {
    MemoryProfileStore profile;
    profile.values[u"InputDeviceId"] = u"Microphone (USB Audio)";
    EXPECT_FALSE(SaveInputDevice(profile, kDevices, std::nullopt));
    EXPECT_FALSE(SaveInputDevice(profile, kDevices, kDevices.size()));
    EXPECT_FALSE(SaveInputDevice(profile, Entries{}, 0u));
    EXPECT_TRUE(profile.accesses.empty());
    EXPECT_EQ(kSelectInputDeviceFirstText, u"Select an input device first.");
}

}  // namespace
}  // namespace orvello
