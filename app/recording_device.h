#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "app/input_device_list.h"

namespace orvello {

// The wave-input device a recording or the input test uses: the selected entry of the device
// list, or the first entry when nothing is selected or the selection indexes no entry. Nothing
// for an empty list, which starts nothing.
[[nodiscard]] std::optional<std::uint32_t> RecordingDeviceNumber(
    std::span<const InputDeviceEntry> entries, std::optional<std::size_t> selection);

}  // namespace orvello
