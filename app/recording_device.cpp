#include "app/recording_device.h"

namespace orvello {

std::optional<std::uint32_t> RecordingDeviceNumber(std::span<const InputDeviceEntry> entries,
                                                   std::optional<std::size_t> selection) {
    if (entries.empty()) return std::nullopt;
    const std::size_t index = selection && *selection < entries.size() ? *selection : 0;
    return entries[index].deviceNumber;
}

}  // namespace orvello
