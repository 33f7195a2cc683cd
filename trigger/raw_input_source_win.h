#pragma once

// Windows only: the Raw Input calls behind RawKeyboardReader.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "trigger/raw_input_source.h"

namespace orvello {

// RawInputSource over the user32 Raw Input functions. Reading a record reuses one buffer, so a
// keystroke costs two GetRawInputData calls and one GetRawInputDeviceInfoW call but no heap
// allocation once the buffer has grown to the size of a keyboard record. Single-threaded, like
// the reader that owns it.
class WinRawInputSource final : public RawInputSource {
public:
    [[nodiscard]] bool registerKeyboardTarget(WindowHandle window) override;
    [[nodiscard]] std::optional<RawKeyboardRecord> readKeyboardRecord(
        RawInputHandle input) override;
    [[nodiscard]] bool readDeviceName(DeviceHandle device, std::u16string& name) override;
    [[nodiscard]] std::optional<std::vector<RawDeviceListEntry>> listDevices() override;

private:
    // Fills recordBuffer_ with the record of one WM_INPUT message; false when it cannot be read.
    [[nodiscard]] bool readRecordInto(HRAWINPUT input);

    // RAWINPUT holds handles, so its storage is kept in RAWINPUT-sized (and aligned) units.
    std::vector<RAWINPUT> recordBuffer_;
};

// Ends keyboard Raw Input for the whole process (usage page 1, usage 6, RIDEV_REMOVE): what a
// registered window does when it goes away. Afterwards no window receives keyboard WM_INPUT
// until some window registers again.
[[nodiscard]] bool removeKeyboardRegistration();

// The integers under which the portable trigger code carries Win32 handles.
[[nodiscard]] inline WindowHandle toWindowHandle(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}
// The HRAWINPUT that a WM_INPUT message carries in its lParam.
[[nodiscard]] inline RawInputHandle rawInputHandleOf(LPARAM wmInputLParam) {
    return static_cast<RawInputHandle>(wmInputLParam);
}
[[nodiscard]] inline DeviceHandle toDeviceHandle(HANDLE device) {
    return reinterpret_cast<DeviceHandle>(device);
}

}  // namespace orvello
