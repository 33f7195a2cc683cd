#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "trigger/key_decoding.h"
#include "trigger/modifier_key.h"
#include "trigger/raw_input_source.h"
#include "trigger/trigger_owner.h"

namespace orvello {

// Lets GoogleTest print keys by name in failure messages.
inline void PrintTo(ModifierKey key, std::ostream* os) {
    *os << static_cast<int>(key);
    for (char16_t c : modifierKeyDisplayText(key)) *os << (c == u' ' ? '_' : static_cast<char>(c));
}

}  // namespace orvello

namespace orvello::test {

// Device interface names as Windows reports them for two different HID keyboards, and the
// identities cut from them.
inline const std::u16string kNameA =
    u"\\\\?\\HID#VID_046D&PID_C52B&MI_00#7&2a6c4b1f&0&0000#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";
inline const std::u16string kIdentityA = u"\\\\?\\HID#VID_046D&PID_C52B&MI_00";
inline const std::u16string kNameB =
    u"\\\\?\\HID#VID_1A2C&PID_0E24&MI_00#8&1f3d4e5a&0&0000#{884b96c3-56ef-11d1-bc8c-00a0c91405dd}";
inline const std::u16string kIdentityB = u"\\\\?\\HID#VID_1A2C&PID_0E24&MI_00";

// The codes a real keyboard sends for a key: Right Ctrl and Right Alt carry the E0 flag, the two
// Shift keys differ only in their scan code. Anything else is sent as the letter A.
struct RawKeyCodes {
    std::uint16_t virtualKey = 0;
    std::uint16_t makeCode = 0;
    std::uint16_t flags = 0;
};

inline RawKeyCodes rawCodesFor(ModifierKey key) {
    using namespace raw_input;
    switch (key) {
        case ModifierKey::LeftShift:
            return {kVkShift, kMakeCodeLeftShift, 0};
        case ModifierKey::RightShift:
            return {kVkShift, kMakeCodeRightShift, 0};
        case ModifierKey::LeftCtrl:
            return {kVkControl, 0x1D, 0};
        case ModifierKey::RightCtrl:
            return {kVkControl, 0x1D, kKeyE0Flag};
        case ModifierKey::LeftAlt:
            return {kVkMenu, 0x38, 0};
        case ModifierKey::RightAlt:
            return {kVkMenu, 0x38, kKeyE0Flag};
        default:
            return {0x41, 0x1E, 0};
    }
}

inline RawKeyboardRecord recordFor(DeviceHandle device, ModifierKey key, bool isDown) {
    const RawKeyCodes codes = rawCodesFor(key);
    const auto breakFlag = static_cast<std::uint16_t>(isDown ? 0 : raw_input::kKeyBreakFlag);
    return {.device = device,
            .makeCode = codes.makeCode,
            .flags = static_cast<std::uint16_t>(codes.flags | breakFlag),
            .virtualKey = codes.virtualKey};
}

// A scripted Raw Input system: devices with names, and queued records addressed by the handle a
// WM_INPUT message would carry.
class FakeRawInputSource : public RawInputSource {
public:
    struct Device {
        DeviceHandle handle = 0;
        std::u16string reportedName;  // as the system returns it, NULs included
        bool isKeyboard = true;
        bool nameReadable = true;
    };

    void addDevice(Device device) { devices_.push_back(std::move(device)); }
    void addKeyboard(DeviceHandle handle, std::u16string name) {
        addDevice({.handle = handle, .reportedName = std::move(name) + u'\0'});
    }
    void unplug(DeviceHandle handle) {
        std::erase_if(devices_, [handle](const Device& d) { return d.handle == handle; });
    }
    Device* device(DeviceHandle handle) {
        for (Device& d : devices_)
            if (d.handle == handle) return &d;
        return nullptr;
    }

    // Queues a record and returns the HRAWINPUT under which it can be read.
    RawInputHandle queueRecord(const RawKeyboardRecord& record) {
        records_[nextInput_] = record;
        return nextInput_++;
    }

    bool registerKeyboardTarget(WindowHandle window) override {
        registeredWindows.push_back(window);
        return registrationSucceeds;
    }
    std::optional<RawKeyboardRecord> readKeyboardRecord(RawInputHandle input) override {
        const auto found = records_.find(input);
        if (found == records_.end()) return std::nullopt;
        return found->second;
    }
    bool readDeviceName(DeviceHandle handle, std::u16string& name) override {
        ++nameReads;
        const Device* d = device(handle);
        if (d == nullptr || !d->nameReadable) return false;
        name = d->reportedName;
        return true;
    }
    std::optional<std::vector<RawDeviceListEntry>> listDevices() override {
        ++listCalls;
        if (listFails) return std::nullopt;
        std::vector<RawDeviceListEntry> list;
        for (const Device& d : devices_) list.push_back({d.handle, d.isKeyboard});
        return list;
    }

    int nameReads = 0;
    int listCalls = 0;
    bool listFails = false;
    bool registrationSucceeds = true;
    std::vector<WindowHandle> registeredWindows;

private:
    std::vector<Device> devices_;
    std::map<RawInputHandle, RawKeyboardRecord> records_;
    RawInputHandle nextInput_ = 1000;
};

// Records the owner calls in order: "start dictation", "start command", "stop", "hands-free",
// "cancel capture", "refresh", "save". Starts succeed unless `declineStarts` is set.
class RecordingOwner : public TriggerOwner {
public:
    bool startRequest(bool forCommandTrigger) override {
        calls.push_back(forCommandTrigger ? "start command" : "start dictation");
        return !declineStarts;
    }
    void stopRequest() override { calls.push_back("stop"); }
    void handsFreeStarted() override { calls.push_back("hands-free"); }
    void cancelTriggerCapture() override { calls.push_back("cancel capture"); }
    void refreshTriggerDisplay() override { calls.push_back("refresh"); }
    void saveTriggers() override { calls.push_back("save"); }

    // The calls since the last take, so each step of a test can be checked on its own.
    std::vector<std::string> take() { return std::exchange(calls, {}); }

    std::vector<std::string> calls;
    bool declineStarts = false;
};

class RecordingMessages : public MessagePresenter {
public:
    void showMessage(MessageIcon icon, std::u16string_view text) override {
        shown.emplace_back(icon, std::u16string(text));
    }
    std::vector<std::pair<MessageIcon, std::u16string>> shown;
};

class RecordingKeyMap : public KeyMapDisplay {
public:
    void SetPressedKeys(std::span<const ModifierKey> keys) override {
        ++updates;
        pressed.assign(keys.begin(), keys.end());
    }
    int updates = 0;
    std::vector<ModifierKey> pressed;
};

}  // namespace orvello::test
