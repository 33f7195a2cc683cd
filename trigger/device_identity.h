#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orvello {

// A DeviceIdentity names a keyboard stably across reconnections: the part of its Raw Input
// device interface name before the instance path. For
//   \\?\HID#VID_046D&PID_C52B&MI_00#7&2a&0&0000#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}
// it is \\?\HID#VID_046D&PID_C52B&MI_00. Two keyboards of the same model on the same interface
// share an identity and count as one keyboard. Identities compare exactly (case-sensitive).
using DeviceIdentity = std::u16string;

// Length of the identity prefix of a device interface name: everything before the first '#'
// at index 12 or later (so the '#' that ends the "\\?\HID#" prefix is not counted), or the whole
// name when there is no such '#'.
[[nodiscard]] std::size_t deviceIdentityLength(std::u16string_view deviceName);

[[nodiscard]] inline std::u16string_view deviceIdentityOf(std::u16string_view deviceName) {
    return deviceName.substr(0, deviceIdentityLength(deviceName));
}

// The identity as shown to the user: without a leading "\\?\HID#" (compared without regard to
// ASCII case) when something follows it, otherwise unchanged.
[[nodiscard]] std::u16string deviceDisplayName(std::u16string_view identity);

// Root-enumerated devices (such as the virtual keyboard a remote desktop session adds) carry
// "\Root#" in their name; they are left out of the keyboard list.
[[nodiscard]] bool isRootEnumeratedDevice(std::u16string_view deviceName);

}  // namespace orvello
