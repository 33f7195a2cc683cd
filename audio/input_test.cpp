#include "audio/input_test.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <optional>

#include "audio/audio_capture.h"
#include "audio/wave_in_release.h"

namespace orvello {
namespace {

constexpr float kSampleScale = 1.0f / 32768.0f;
constexpr float kLevelPerRms = 8.0f;  // the same scale as the recording level
constexpr float kPercentPerLevel = 100.0f;

// An opened device with four queued buffers, stopped and released when it goes out of scope;
// one that can be neither reset nor closed keeps the buffers and the event (wave_in_release.h).
class OpenTestDevice {
public:
    explicit OpenTestDevice(WaveInDevice& device)
        : device_(device), buffers_(std::make_unique<CaptureBufferBlock>()) {
        for (std::size_t index = 0; index < buffers_->size(); ++index) {
            (void)device_.PrepareBuffer(index,
                                        std::as_writable_bytes(std::span((*buffers_)[index])));
            (void)device_.AddBuffer(index);
        }
        (void)device_.Start();
    }
    OpenTestDevice(const OpenTestDevice&) = delete;
    OpenTestDevice& operator=(const OpenTestDevice&) = delete;

    ~OpenTestDevice() {
        if (!ReleaseOpenDevice(device_, kCaptureBufferCount, true)) {
            (void)buffers_.release();
            return;
        }
        device_.CloseBufferEvent();
    }

    [[nodiscard]] const CaptureBufferBlock& Buffers() const { return *buffers_; }

private:
    WaveInDevice& device_;
    std::unique_ptr<CaptureBufferBlock> buffers_;
};

// Reports the level of every returned buffer, in index order, and gives it back to the device.
void ReportReturnedBuffers(WaveInDevice& device, const CaptureBufferBlock& buffers,
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
    const OpenTestDevice openDevice(device);
    while (!stopRequested.load()) {
        (void)device.WaitForBuffer(kBufferWaitTimeoutMs);
        ReportReturnedBuffers(device, openDevice.Buffers(), onLevel);
    }
}

}  // namespace orvello
