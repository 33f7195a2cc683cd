#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "trigger/keyboard_event.h"

namespace orvello {

// The fields of a RAWKEYBOARD record that decoding uses, with the device it came from.
struct RawKeyboardRecord {
    DeviceHandle device = 0;
    std::uint16_t makeCode = 0;
    std::uint16_t flags = 0;
    std::uint16_t virtualKey = 0;
};

// One entry of the system's Raw Input device list.
struct RawDeviceListEntry {
    DeviceHandle device = 0;
    bool isKeyboard = false;
};

// The Raw Input calls the keyboard reader makes, so that the reader's logic runs without Windows.
// The Win32 implementation wraps RegisterRawInputDevices, GetRawInputData,
// GetRawInputDeviceInfoW and GetRawInputDeviceList; tests use a scripted fake.
class RawInputSource {
public:
    virtual ~RawInputSource() = default;

    // Makes the window the process's target for keyboard input, also in the background and with
    // arrival/removal notices (RIDEV_INPUTSINK | RIDEV_DEVNOTIFY). False when it is no window or
    // the registration failed.
    [[nodiscard]] virtual bool registerKeyboardTarget(WindowHandle window) = 0;

    // Reads the record of one WM_INPUT message. Nothing when it cannot be read, is not a keyboard
    // record, or its device does not report itself as a keyboard.
    [[nodiscard]] virtual std::optional<RawKeyboardRecord> readKeyboardRecord(
        RawInputHandle input) = 0;

    // Fetches the device interface name as the system returns it (it may end in NUL characters).
    // False when the system knows no name for the handle.
    [[nodiscard]] virtual bool readDeviceName(DeviceHandle device, std::u16string& name) = 0;

    // The attached Raw Input devices in the system's order; nothing when the list cannot be read
    // (which is not the same as a list without devices).
    [[nodiscard]] virtual std::optional<std::vector<RawDeviceListEntry>> listDevices() = 0;
};

}  // namespace orvello
