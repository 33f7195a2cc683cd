#include "trigger/raw_input_source_win.h"

#include <algorithm>

namespace orvello {
namespace {

// The sizes the Raw Input functions are called with; they are fixed by the x64 layout.
static_assert(sizeof(RAWINPUTHEADER) == 24);
static_assert(sizeof(RID_DEVICE_INFO) == 32);
static_assert(sizeof(RAWINPUTDEVICE) == 16);
static_assert(sizeof(RAWINPUTDEVICELIST) == 16);

constexpr USHORT kGenericDesktopUsagePage = 1;
constexpr USHORT kKeyboardUsage = 6;
constexpr UINT kRawInputError = static_cast<UINT>(-1);
// Each retry follows a device arrival within microseconds; more than a few means something is
// wrong.
constexpr int kDeviceListAttempts = 4;

// Usage page 1, usage 6: keyboards. Used to register and to remove the registration.
bool registerKeyboardUsage(DWORD flags, HWND target) {
    const RAWINPUTDEVICE device{kGenericDesktopUsagePage, kKeyboardUsage, flags, target};
    return ::RegisterRawInputDevices(&device, 1, sizeof(RAWINPUTDEVICE)) == TRUE;
}

// The device of a keyboard record must also report itself as a keyboard.
bool isKeyboardDevice(HANDLE device) {
    RID_DEVICE_INFO info{};
    info.cbSize = sizeof(RID_DEVICE_INFO);
    UINT infoSize = sizeof(RID_DEVICE_INFO);
    if (::GetRawInputDeviceInfoW(device, RIDI_DEVICEINFO, &info, &infoSize) == kRawInputError) {
        return false;
    }
    return info.dwType == RIM_TYPEKEYBOARD;
}

RawKeyboardRecord toRecord(const RAWINPUT& input) {
    const RAWKEYBOARD& keyboard = input.data.keyboard;
    return {.device = toDeviceHandle(input.header.hDevice),
            .makeCode = keyboard.MakeCode,
            .flags = keyboard.Flags,
            .virtualKey = keyboard.VKey};
}

// A device that arrives between asking for the count and reading the list makes the buffer too
// small; the failed call then reports the new count, and the list is read again with that.
std::optional<std::vector<RAWINPUTDEVICELIST>> readSystemDeviceList() {
    UINT deviceCount = 0;
    if (::GetRawInputDeviceList(nullptr, &deviceCount, sizeof(RAWINPUTDEVICELIST)) != 0) {
        return std::nullopt;
    }
    std::vector<RAWINPUTDEVICELIST> systemList;
    for (int attempt = 0; attempt < kDeviceListAttempts; ++attempt) {
        if (deviceCount == 0) return systemList;
        systemList.resize(deviceCount);
        const UINT listed =
            ::GetRawInputDeviceList(systemList.data(), &deviceCount, sizeof(RAWINPUTDEVICELIST));
        if (listed != kRawInputError) {
            systemList.resize(std::min<std::size_t>(listed, systemList.size()));
            return systemList;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace

bool WinRawInputSource::registerKeyboardTarget(WindowHandle window) {
    const HWND target = reinterpret_cast<HWND>(window);
    if (!::IsWindow(target)) return false;
    // In the background too, and with WM_INPUT_DEVICE_CHANGE on arrival and removal.
    return registerKeyboardUsage(RIDEV_INPUTSINK | RIDEV_DEVNOTIFY, target);
}

std::optional<RawKeyboardRecord> WinRawInputSource::readKeyboardRecord(RawInputHandle input) {
    if (!readRecordInto(reinterpret_cast<HRAWINPUT>(input))) return std::nullopt;
    const RAWINPUT& record = recordBuffer_.front();
    if (record.header.dwType != RIM_TYPEKEYBOARD) return std::nullopt;
    if (!isKeyboardDevice(record.header.hDevice)) return std::nullopt;
    return toRecord(record);
}

bool WinRawInputSource::readRecordInto(HRAWINPUT input) {
    UINT recordBytes = 0;
    if (::GetRawInputData(input, RID_INPUT, nullptr, &recordBytes, sizeof(RAWINPUTHEADER)) != 0 ||
        recordBytes == 0) {
        return false;
    }
    // Grows to the largest record seen and then stays: keystrokes allocate nothing.
    const std::size_t unitsNeeded = (recordBytes + sizeof(RAWINPUT) - 1) / sizeof(RAWINPUT);
    if (recordBuffer_.size() < unitsNeeded) recordBuffer_.resize(unitsNeeded);
    UINT bufferBytes = recordBytes;
    return ::GetRawInputData(input, RID_INPUT, recordBuffer_.data(), &bufferBytes,
                             sizeof(RAWINPUTHEADER)) == recordBytes;
}

bool WinRawInputSource::readDeviceName(DeviceHandle device, std::u16string& name) {
    const HANDLE handle = reinterpret_cast<HANDLE>(device);
    UINT nameChars = 0;
    if (::GetRawInputDeviceInfoW(handle, RIDI_DEVICENAME, nullptr, &nameChars) == kRawInputError ||
        nameChars == 0) {
        return false;
    }
    std::wstring buffer(nameChars, L'\0');
    if (::GetRawInputDeviceInfoW(handle, RIDI_DEVICENAME, buffer.data(), &nameChars) ==
        kRawInputError) {
        return false;
    }
    // wchar_t is UTF-16 on Windows; the reader cuts the name at its first NUL.
    name.assign(buffer.begin(), buffer.end());
    return true;
}

std::optional<std::vector<RawDeviceListEntry>> WinRawInputSource::listDevices() {
    const std::optional<std::vector<RAWINPUTDEVICELIST>> systemList = readSystemDeviceList();
    if (!systemList) return std::nullopt;
    std::vector<RawDeviceListEntry> devices;
    devices.reserve(systemList->size());
    for (const RAWINPUTDEVICELIST& entry : *systemList) {
        devices.push_back({toDeviceHandle(entry.hDevice), entry.dwType == RIM_TYPEKEYBOARD});
    }
    return devices;
}

bool removeKeyboardRegistration() {
    return registerKeyboardUsage(RIDEV_REMOVE, nullptr);
}

}  // namespace orvello
