#include "trigger/raw_keyboard_reader.h"

#include <utility>

#include "trigger/device_identity.h"
#include "trigger/key_decoding.h"

namespace orvello {

namespace {

// The system reports the name with its terminating NUL (and possibly padding after it).
std::u16string cutAtFirstNul(std::u16string text) {
    const std::size_t nul = text.find(u'\0');
    if (nul != std::u16string::npos) text.resize(nul);
    return text;
}

}  // namespace

RawKeyboardReader::RawKeyboardReader(std::unique_ptr<RawInputSource> source)
    : source_(std::move(source)) {}

bool RawKeyboardReader::registerWindow(WindowHandle window) {
    return source_->registerKeyboardTarget(window);
}

std::optional<KeyboardEvent> RawKeyboardReader::decode(RawInputHandle input) {
    const std::optional<RawKeyboardRecord> record = source_->readKeyboardRecord(input);
    if (!record) return std::nullopt;
    const CachedDevice* device = cachedDevice(record->device);
    if (device == nullptr) return std::nullopt;

    const std::u16string_view name = device->name;
    return KeyboardEvent{
        .device = record->device,
        .deviceName = name,
        .deviceIdentity = name.substr(0, device->identityLength),
        .key = modifierKeyFromRawKeyboard(record->virtualKey, record->makeCode, record->flags),
        .isDown = isKeyPressFromRawKeyboard(record->flags),
    };
}

bool RawKeyboardReader::deviceName(DeviceHandle device, std::u16string& name) {
    const CachedDevice* cached = cachedDevice(device);
    if (cached == nullptr) return false;
    name = cached->name;
    return true;
}

void RawKeyboardReader::forget(DeviceHandle device) {
    nameCache_.erase(device);
}

std::vector<KeyboardDeviceInfo> RawKeyboardReader::enumerate() {
    const std::optional<std::vector<RawDeviceListEntry>> devices = source_->listDevices();
    std::vector<KeyboardDeviceInfo> keyboards;
    if (!devices) return keyboards;
    for (const RawDeviceListEntry& entry : *devices) {
        if (!entry.isKeyboard) continue;
        const CachedDevice* cached = cachedDevice(entry.device);
        if (cached == nullptr || isRootEnumeratedDevice(cached->name)) continue;
        keyboards.push_back(
            {entry.device, cached->name, cached->name.substr(0, cached->identityLength)});
    }
    return keyboards;
}

std::optional<std::vector<DeviceIdentity>> RawKeyboardReader::attachedKeyboardIdentities() {
    const std::optional<std::vector<RawDeviceListEntry>> devices = source_->listDevices();
    if (!devices) return std::nullopt;
    std::vector<DeviceIdentity> identities;
    for (const RawDeviceListEntry& entry : *devices) {
        if (!entry.isKeyboard) continue;
        if (const CachedDevice* cached = cachedDevice(entry.device)) {
            identities.push_back(cached->name.substr(0, cached->identityLength));
        }
    }
    return identities;
}

const RawKeyboardReader::CachedDevice* RawKeyboardReader::cachedDevice(DeviceHandle device) {
    if (const auto found = nameCache_.find(device); found != nameCache_.end()) {
        return &found->second;
    }
    std::u16string rawName;
    if (!source_->readDeviceName(device, rawName)) return nullptr;
    std::u16string name = cutAtFirstNul(std::move(rawName));
    const std::size_t identityLength = deviceIdentityLength(name);
    const auto [inserted, _] =
        nameCache_.emplace(device, CachedDevice{std::move(name), identityLength});
    return &inserted->second;
}

}  // namespace orvello
