#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

#include "audio/capture_stop_flag.h"
#include "audio/conditioning.h"
#include "audio/wave_in_device.h"
#include "audio/wave_in_release.h"

namespace orvello {

// Receives the input level of each captured buffer, 0.0 to 1.0, on the capturing thread.
using AudioLevelCallback = std::function<void(float level)>;
// Receives the conditioned samples of each captured buffer, in time order, on the capturing
// thread. An exception it throws ends the capture with that error.
using CapturedSamplesSink = std::function<void(std::span<const float> samples)>;

inline constexpr std::uint32_t kBufferWaitTimeoutMs = 100;
inline constexpr std::size_t kRecordingReserveSamples = 480'000;  // 30 s at 16 kHz

// Records one push-to-talk utterance from a wave-input device: 16 kHz, 16-bit mono, four
// 64 ms buffers kept queued, every sample conditioned and appended as a float.
// A capture object is used for one recording; the next recording makes a new one.
class AudioCapture {
public:
    explicit AudioCapture(WaveInDevice& device) : device_(device) {}
    AudioCapture(const AudioCapture&) = delete;
    AudioCapture& operator=(const AudioCapture&) = delete;

    // Captures until `stopRequested` is set, or until the device stops delivering (a failed wait,
    // or a buffer that cannot be queued again, which also sets `stopRequested`). Audio still held
    // by the device at the end is not kept. `onLevel` may be empty.
    // Throws std::runtime_error when the device cannot be set up, after releasing everything
    // set up so far.
    [[nodiscard]] std::vector<float> Run(std::uint32_t deviceId,
                                         const ConditioningSettings& settings,
                                         CaptureStopFlag& stopRequested,
                                         const AudioLevelCallback& onLevel);
    // Captures as Run does, but hands the samples of each buffer to `onSamples` (before its level
    // goes to `onLevel`) instead of keeping them, so that a recording can be processed while it
    // is made. Throws what Run throws, and what `onSamples` throws, after releasing the device.
    void Stream(std::uint32_t deviceId, const ConditioningSettings& settings,
                CaptureStopFlag& stopRequested, const AudioLevelCallback& onLevel,
                const CapturedSamplesSink& onSamples);

private:
    using SampleBuffer = CaptureSampleBuffer;

    struct Recording {
        SignalConditioner conditioner;
        const AudioLevelCallback& onLevel;
        const CapturedSamplesSink& onSamples;
        std::size_t oldestQueuedIndex = 0;  // the buffer the device returns next
        std::array<float, kCaptureBufferSamples> conditioned{};  // of the buffer being handed on
    };

    void CaptureUntilStopped(Recording& recording, CaptureStopFlag& stopRequested);
    [[nodiscard]] bool CollectReturnedBuffers(Recording& recording);
    void AppendReturnedSamples(const SampleBuffer& buffer, std::uint32_t byteCount,
                               Recording& recording);

    WaveInDevice& device_;
    // Written by the driver between PrepareBuffer and UnprepareBuffer; must not move meanwhile,
    // and is given up rather than freed when the device cannot be released (wave_in_release.h).
    std::unique_ptr<CaptureBufferBlock> buffers_;
};

}  // namespace orvello
