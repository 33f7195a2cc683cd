#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "trigger/device_identity.h"
#include "trigger/modifier_key.h"

namespace orvello {

// Opaque Win32 handles carried through the portable code as integers: the Raw Input device
// handle (RAWINPUTHEADER.hDevice), the HRAWINPUT of a WM_INPUT message and a window handle.
using DeviceHandle = std::uintptr_t;
using RawInputHandle = std::uintptr_t;
using WindowHandle = std::uintptr_t;

// When a key event happened: the milliseconds of its window message's time (system start-up
// based, wrapping around after 49.7 days), so only differences mean something.
using KeyTimeMs = std::uint32_t;

// One decoded keyboard record. deviceName and deviceIdentity view the reader's name cache, so
// decoding never copies them; they stay valid until the reader forgets that device handle or is
// destroyed. Consumers that keep an identity beyond the WM_INPUT handler copy it.
struct KeyboardEvent {
    DeviceHandle device = 0;
    std::u16string_view deviceName;
    std::u16string_view deviceIdentity;
    ModifierKey key = ModifierKey::Unknown;
    bool isDown = false;   // also true for every auto-repeat press
    KeyTimeMs timeMs = 0;  // set by the window that received it; the reader does not know it
};

// One attached keyboard as listed by the reader's enumeration.
struct KeyboardDeviceInfo {
    DeviceHandle device = 0;
    std::u16string deviceName;
    DeviceIdentity deviceIdentity;
};

}  // namespace orvello
