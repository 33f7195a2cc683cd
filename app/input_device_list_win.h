#pragma once

// Windows only: the wave-input devices present now.

#include <vector>

#include "app/input_device_list.h"

namespace orvello {

// Every wave-input device whose capabilities can be read, in device-number order, with its
// product name. A device whose capabilities cannot be read is left out, so device numbers may
// skip.
[[nodiscard]] std::vector<InputDeviceEntry> ListInputDevices();

}  // namespace orvello
