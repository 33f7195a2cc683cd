// Which wave-input device a recording and the input test use.
#include "app/recording_device.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvello {
namespace {

const std::vector<InputDeviceEntry> kDevices = {
    {.deviceNumber = 0, .name = u"Headset"},
    {.deviceNumber = 3, .name = u"USB Microphone"},
    {.deviceNumber = 7, .name = u"Line In"},
};

TEST(RecordingDevice, TheSelectedEntryGivesItsDeviceNumber) {
    EXPECT_EQ(RecordingDeviceNumber(kDevices, 1), 3u);
    EXPECT_EQ(RecordingDeviceNumber(kDevices, 2), 7u);
}

TEST(RecordingDevice, WithoutAUsableSelectionTheFirstEntryIsUsed) {
    std::vector<InputDeviceEntry> devices = kDevices;
    devices[0].deviceNumber = 5;  // the first entry's number, not device 0
    EXPECT_EQ(RecordingDeviceNumber(devices, std::nullopt), 5u);
    EXPECT_EQ(RecordingDeviceNumber(devices, 3), 5u);
    EXPECT_EQ(RecordingDeviceNumber(devices, std::size_t(-1)), 5u);
}

TEST(RecordingDevice, AnEmptyListGivesNoDevice) {
    EXPECT_EQ(RecordingDeviceNumber({}, std::nullopt), std::nullopt);
    EXPECT_EQ(RecordingDeviceNumber({}, 0), std::nullopt);
}

}  // namespace
}  // namespace orvello
