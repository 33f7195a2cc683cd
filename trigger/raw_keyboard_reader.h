#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "trigger/device_identity.h"
#include "trigger/keyboard_event.h"
#include "trigger/raw_input_source.h"

namespace orvello {

// Turns WM_INPUT keyboard records into KeyboardEvents that name their keyboard, and lists the
// attached keyboards. Device names are fetched from the system once per handle and then served
// from a cache, so decoding a keystroke of a known keyboard allocates nothing. Single-threaded:
// every call runs on the thread of the window that receives the raw input.
class RawKeyboardReader {
public:
    explicit RawKeyboardReader(std::unique_ptr<RawInputSource> source);

    RawKeyboardReader(const RawKeyboardReader&) = delete;
    RawKeyboardReader& operator=(const RawKeyboardReader&) = delete;
    RawKeyboardReader(RawKeyboardReader&&) = default;
    RawKeyboardReader& operator=(RawKeyboardReader&&) = default;

    // Makes the window the target of keyboard input. The last registration in the process wins.
    [[nodiscard]] bool registerWindow(WindowHandle window);

    // The event of one WM_INPUT message, or nothing when the record cannot be read, is no keyboard
    // record, or its device has no readable name. The event's strings view the name cache.
    [[nodiscard]] std::optional<KeyboardEvent> decode(RawInputHandle input);

    // The device interface name of a handle, from the cache or else from the system (then cached).
    [[nodiscard]] bool deviceName(DeviceHandle device, std::u16string& name);

    // Drops a removed device's cache entry. Events decoded earlier from it must not be used after.
    void forget(DeviceHandle device);

    // The attached keyboards in the system's order, without root-enumerated virtual keyboards;
    // empty when the list cannot be read.
    [[nodiscard]] std::vector<KeyboardDeviceInfo> enumerate();

    // The identities of every attached keyboard, root-enumerated ones included, for deciding which
    // keyboards are gone; nothing when the list cannot be read. Keyboards whose name cannot be
    // read have no identity and are left out.
    [[nodiscard]] std::optional<std::vector<DeviceIdentity>> attachedKeyboardIdentities();

    [[nodiscard]] std::size_t cachedDeviceCount() const { return nameCache_.size(); }

private:
    struct CachedDevice {
        std::u16string name;
        std::size_t identityLength = 0;  // the identity is a prefix of the name
    };

    // The cache entry of a handle, fetching the name on first use; null when the name is unknown.
    const CachedDevice* cachedDevice(DeviceHandle device);

    std::unique_ptr<RawInputSource> source_;
    // Node-based so the views handed out in events stay put while other handles are added.
    std::unordered_map<DeviceHandle, CachedDevice> nameCache_;
};

}  // namespace orvello
