#include "audio/audio_capture.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>

#include "audio/wave_in_error_text.h"

namespace orvello {
namespace {

constexpr float kSampleScale = 1.0f / 32768.0f;  // 16-bit sample to -1.0 .. just below 1.0
constexpr float kLevelPerRms = 8.0f;             // speech rarely exceeds an RMS of 1/8

// Holds what a capture has set up on the device and releases it when it goes out of scope, in
// the order the driver needs: stop (once started), reset so that the driver holds no buffer,
// unprepare each prepared buffer, close the device, then close the event. A device that can be
// neither reset nor closed keeps the buffers and the event.
class WaveInSession {
public:
    WaveInSession(WaveInDevice& device, std::unique_ptr<CaptureBufferBlock>& buffers)
        : device_(device), buffers_(buffers) {}
    WaveInSession(const WaveInSession&) = delete;
    WaveInSession& operator=(const WaveInSession&) = delete;
    ~WaveInSession() { Release(); }

    void CreateBufferEvent() {
        if (!device_.CreateBufferEvent()) {
            throw std::runtime_error("Failed to create audio event handle.");
        }
        eventCreated_ = true;
    }

    void Open(std::uint32_t deviceId) {
        ThrowOnFailure("waveInOpen", device_.Open(deviceId, kSpeechWaveInFormat));
        opened_ = true;
    }

    void PrepareAndQueue(std::size_t index, std::span<std::byte> memory) {
        ThrowOnFailure("waveInPrepareHeader", device_.PrepareBuffer(index, memory));
        ++preparedCount_;
        ThrowOnFailure("waveInAddBuffer", device_.AddBuffer(index));
    }

    void Start() {
        ThrowOnFailure("waveInStart", device_.Start());
        started_ = true;
    }

private:
    void ThrowOnFailure(const char* call, WaveInResult result) const {
        if (result == kWaveInOk) return;
        const auto lookUp = [this](WaveInResult code, std::span<char> text) {
            return device_.GetErrorText(code, text);
        };
        throw std::runtime_error(std::string(call) + " failed: " + WaveInErrorText(result, lookUp));
    }

    void Release() noexcept {
        if (opened_ && !ReleaseOpenDevice(device_, preparedCount_, started_)) {
            // The driver may still write into the buffers and signal the event: both stay.
            (void)buffers_.release();
            return;
        }
        if (eventCreated_) device_.CloseBufferEvent();
    }

    WaveInDevice& device_;
    std::unique_ptr<CaptureBufferBlock>& buffers_;
    bool eventCreated_ = false;
    bool opened_ = false;
    std::size_t preparedCount_ = 0;
    bool started_ = false;
};

float BufferLevel(float energy, std::size_t sampleCount) {
    const float rms = std::sqrt(energy / static_cast<float>(sampleCount));
    return std::clamp(kLevelPerRms * rms, 0.0f, 1.0f);
}

}  // namespace

std::vector<float> AudioCapture::Run(std::uint32_t deviceId, const ConditioningSettings& settings,
                                     CaptureStopFlag& stopRequested,
                                     const AudioLevelCallback& onLevel) {
    std::vector<float> recording;
    recording.reserve(kRecordingReserveSamples);
    Stream(deviceId, settings, stopRequested, onLevel,
           [&recording](std::span<const float> samples) {
               recording.insert(recording.end(), samples.begin(), samples.end());
           });
    return recording;
}

void AudioCapture::Stream(std::uint32_t deviceId, const ConditioningSettings& settings,
                          CaptureStopFlag& stopRequested, const AudioLevelCallback& onLevel,
                          const CapturedSamplesSink& onSamples) {
    buffers_ = std::make_unique<CaptureBufferBlock>();  // zero-filled
    WaveInSession session(device_, buffers_);
    session.CreateBufferEvent();
    session.Open(deviceId);
    for (std::size_t index = 0; index < kCaptureBufferCount; ++index) {
        session.PrepareAndQueue(index, std::as_writable_bytes(std::span((*buffers_)[index])));
    }
    session.Start();

    Recording recording{SignalConditioner(settings), onLevel, onSamples};
    // Registered only while the loop runs, so no wake can reach a closed event.
    const auto wakeRegistration = stopRequested.RegisterWaker([this] { device_.WakeWaiter(); });
    CaptureUntilStopped(recording, stopRequested);
}

// A stop request also wakes the wait, so the loop ends promptly, after one more pass over the
// buffers returned by then.
void AudioCapture::CaptureUntilStopped(Recording& recording, CaptureStopFlag& stopRequested) {
    while (!stopRequested.IsSet()) {
        if (device_.WaitForBuffer(kBufferWaitTimeoutMs) == BufferWaitResult::Failed) return;
        if (!CollectReturnedBuffers(recording)) {
            stopRequested.Set();
            return;
        }
    }
}

// Appends every returned buffer and gives it back to the device. The device fills its buffers in
// the order they were queued, so the look starts at the oldest one: buffers 3 and 0 returned in
// the same pass are appended as 3, then 0, which keeps the recording in time order. False when a
// buffer cannot be given back; the buffers after it are left for the shut-down.
bool AudioCapture::CollectReturnedBuffers(Recording& recording) {
    const std::size_t oldestIndex = recording.oldestQueuedIndex;
    for (std::size_t step = 0; step < kCaptureBufferCount; ++step) {
        const std::size_t index = (oldestIndex + step) % kCaptureBufferCount;
        const std::optional<std::uint32_t> byteCount = device_.ReturnedByteCount(index);
        if (!byteCount) continue;
        AppendReturnedSamples((*buffers_)[index], *byteCount, recording);
        recording.oldestQueuedIndex = (index + 1) % kCaptureBufferCount;
        if (device_.AddBuffer(index) != kWaveInOk) return false;
    }
    return true;
}

// Whole samples only: an odd last byte is ignored, and a count beyond the buffer reads no further
// than the buffer. The level is measured after conditioning.
void AudioCapture::AppendReturnedSamples(const SampleBuffer& buffer, std::uint32_t byteCount,
                                         Recording& recording) {
    const std::size_t sampleCount =
        std::min<std::size_t>(byteCount / sizeof(std::int16_t), buffer.size());
    float energy = 0.0f;
    for (std::size_t i = 0; i < sampleCount; ++i) {
        const float conditioned =
            recording.conditioner.Condition(static_cast<float>(buffer[i]) * kSampleScale);
        energy += conditioned * conditioned;
        recording.conditioned[i] = conditioned;
    }
    if (sampleCount == 0) return;
    if (recording.onSamples)
        recording.onSamples(std::span(recording.conditioned.data(), sampleCount));
    if (recording.onLevel) recording.onLevel(BufferLevel(energy, sampleCount));
}

}  // namespace orvello
