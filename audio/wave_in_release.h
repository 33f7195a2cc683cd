#pragma once
// Releasing an open wave-input device without freeing memory under its driver. The driver writes
// into a queued buffer until it returns it (a reset returns them all), so a device that can be
// neither reset nor closed keeps its buffers for good: the caller then leaks them.
#include <array>
#include <cstddef>
#include <cstdint>

#include "audio/wave_in_device.h"

namespace orvello {

inline constexpr std::size_t kCaptureBufferCount = 4;
inline constexpr std::size_t kCaptureBufferSamples = 1024;  // 64 ms at 16 kHz

using CaptureSampleBuffer = std::array<std::int16_t, kCaptureBufferSamples>;
// One heap block for the four buffers, so that it can outlive its owner when it must.
using CaptureBufferBlock = std::array<CaptureSampleBuffer, kCaptureBufferCount>;

// Stops the device (once started), resets it, unprepares each of the first `preparedCount`
// buffers it no longer holds and closes it. False when it may still write into a buffer, after
// both the reset and the close failed: the buffers and the buffer event must then stay.
[[nodiscard]] bool ReleaseOpenDevice(WaveInDevice& device, std::size_t preparedCount,
                                     bool started) noexcept;

}  // namespace orvello
