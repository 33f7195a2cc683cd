#pragma once
// The microphone test: while it runs, the raw input level of every captured buffer is reported,
// so the user can see whether the selected device hears anything. It neither conditions nor keeps
// the audio.
#include <atomic>
#include <cstdint>
#include <functional>
#include <span>

#include "audio/wave_in_device.h"

namespace orvello {

// Receives the level of one buffer, 0 to 100, on the test's thread.
using InputLevelCallback = std::function<void(int levelPercent)>;

// The level of raw 16-bit samples on the recording level's scale (8 times the RMS, at most full),
// as a percentage truncated to a whole number; 0 for no samples.
[[nodiscard]] int InputLevelPercent(std::span<const std::int16_t> samples);

// Opens the device (16 kHz, 16-bit mono, four 64 ms buffers) and reports the level of every
// buffer it returns until `stopRequested` is set, which is looked at once per pass (at most about
// 100 ms apart). Returns at once, reporting nothing, when the event or the device cannot be set
// up; the results of the other set-up calls are not examined. Throws only what `onLevel` throws.
void RunInputLevelTest(WaveInDevice& device, std::uint32_t deviceId,
                       const std::atomic<bool>& stopRequested, const InputLevelCallback& onLevel);

}  // namespace orvello
