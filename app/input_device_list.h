#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/profile_store.h"

namespace orvello {

// One wave-input device as the main window's device list shows it.
struct InputDeviceEntry {
    std::uint32_t deviceNumber = 0;  // the waveIn device index
    std::u16string name;             // the device's product name (szPname)

    friend bool operator==(const InputDeviceEntry&, const InputDeviceEntry&) = default;
};

// The message box text when "Use Selected Input" is pressed with no device selected.
inline constexpr std::u16string_view kSelectInputDeviceFirstText = u"Select an input device first.";

// Whether two device names are equal without regard to case. Letters are folded one UTF-16 unit
// at a time for Basic Latin, Latin-1, Latin Extended-A, Greek and Cyrillic, which covers the
// product names audio drivers report; other characters must match exactly.
[[nodiscard]] bool DeviceNamesMatch(std::u16string_view a, std::u16string_view b);

// The entry to select in a freshly filled device list: the first whose name matches savedName,
// else the first entry (also when savedName is empty). Nothing for an empty list.
[[nodiscard]] std::optional<std::size_t> ChooseInputDevice(
    std::span<const InputDeviceEntry> entries, std::u16string_view savedName);

// Reads InputDeviceId and chooses the entry to select. An empty list selects nothing and reads
// nothing. The saved name only sets the initial selection: a recording always uses whatever is
// selected when it starts.
[[nodiscard]] std::optional<std::size_t> SelectSavedInputDevice(
    ProfileStore& profile, std::span<const InputDeviceEntry> entries);

// "Use Selected Input": stores the selected entry's name as InputDeviceId. False, with nothing
// written, when nothing is selected or the selection indexes no entry; the caller then shows
// kSelectInputDeviceFirstText.
[[nodiscard]] bool SaveInputDevice(ProfileStore& profile, std::span<const InputDeviceEntry> entries,
                                   std::optional<std::size_t> selection);

}  // namespace orvello
