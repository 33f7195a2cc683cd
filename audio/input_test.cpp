#include "audio/input_test.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <optional>

#include "audio/audio_capture.h"

namespace orvello {
namespace {

constexpr float kSampleScale = 1.0f / 32768.0f;
constexpr float kLevelPerRms = 8.0f;  // the same scale as the recording level
constexpr float kPercentPerLevel = 100.0f;

using TestBuffer = std::array<std::int16_t, kCaptureBufferSamples>;

// An opened device with four queued buffers, stopped and released when it goes out of scope.
class OpenTestDevice {
public:
    OpenTestDevice(WaveInDevice& device, std::array<TestBuffer, kCaptureBufferCount>& buffers)
        : device_(device) {
        for (std::size_t index = 0; index < buffers.size(); ++index) {
            (void)device_.PrepareBuffer(index, std::as_writable_bytes(std::span(buffers[index])));
            (void)device_.AddBuffer(index);
        }
        (void)device_.Start();
    }
    OpenTestDevice(const OpenTestDevice&) = delete;
    OpenTestDevice& operator=(const OpenTestDevice&) = delete;

    ~OpenTestDevice() {
        (void)device_.Stop();
        (void)device_.Reset();
        for (std::size_t index = 0; index < kCaptureBufferCount; ++index) {
            (void)device_.UnprepareBuffer(index);
        }
        (void)device_.Close();
        device_.CloseBufferEvent();
    }

private:
    WaveInDevice& device_;
};

// Reports the level of every returned buffer, in index order, and gives it back to the device.
void ReportReturnedBuffers(WaveInDevice& device,
                           const std::array<TestBuffer, kCaptureBufferCount>& buffers,
                           const InputLevelCallback& onLevel) {
    for (std::size_t index = 0; index < buffers.size(); ++index) {
        const std::optional<std::uint32_t> byteCount = device.ReturnedByteCount(index);
        if (!byteCount) continue;
        const std::size_t sampleCount =
            std::min<std::size_t>(*byteCount / sizeof(std::int16_t), buffers[index].size());
        if (sampleCount > 0 && onLevel) {
            onLevel(InputLevelPercent(std::span(buffers[index].data(), sampleCount)));
        }
        (void)device.AddBuffer(index);
    }
}

}  // namespace

int InputLevelPercent(std::span<const std::int16_t> samples) {
    if (samples.empty()) return 0;
    float energy = 0.0f;
    for (const std::int16_t sample : samples) {
        const float scaled = static_cast<float>(sample) * kSampleScale;
        energy += scaled * scaled;
    }
    const float rms = std::sqrt(energy / static_cast<float>(samples.size()));
    const float level = std::clamp(kLevelPerRms * rms, 0.0f, 1.0f);
    return static_cast<int>(level * kPercentPerLevel);
}

void RunInputLevelTest(WaveInDevice& device, std::uint32_t deviceId,
                       const std::atomic<bool>& stopRequested, const InputLevelCallback& onLevel) {
    if (!device.CreateBufferEvent()) return;
    if (device.Open(deviceId, kSpeechWaveInFormat) != kWaveInOk) {
        device.CloseBufferEvent();
        return;
    }
    std::array<TestBuffer, kCaptureBufferCount> buffers{};
    const OpenTestDevice openDevice(device, buffers);
    while (!stopRequested.load()) {
        (void)device.WaitForBuffer(kBufferWaitTimeoutMs);
        ReportReturnedBuffers(device, buffers, onLevel);
    }
}

}  // namespace orvello
