#include "app/input_device_list_win.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>  // needs windows.h first
// clang-format on

#include <cwchar>

namespace orvello {

std::vector<InputDeviceEntry> ListInputDevices() {
    std::vector<InputDeviceEntry> entries;
    const UINT deviceCount = waveInGetNumDevs();
    for (UINT device = 0; device < deviceCount; ++device) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(device, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
        // A driver may fill the whole name field without a terminating NUL.
        const std::size_t length = wcsnlen(caps.szPname, MAXPNAMELEN);
        entries.push_back({device, std::u16string(caps.szPname, caps.szPname + length)});
    }
    return entries;
}

}  // namespace orvello
