#pragma once
// What the service benchmark and the soak share: sample tables, a synthetic wave-input device that
// delivers them at a chosen pace, a factory of such devices and a wait for a recording's end.
#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <fstream>
#include <mutex>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/audio_capture.h"
#include "engine/recognition_service.h"

namespace orvello::bench {

using Clock = std::chrono::steady_clock;

inline double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One table of 16-bit samples, repeated for as long as a recording lasts.
using SampleTable = std::vector<std::int16_t>;

// Gaussian noise of the given RMS (full scale 1.0), repeating every 4 s.
inline SampleTable NoiseTable(float noiseRms) {
    SampleTable table(65'536);
    std::mt19937 random(20240611);
    std::normal_distribution<float> gaussian(0.0f, noiseRms * 32768.0f);
    for (std::int16_t& sample : table) {
        sample = static_cast<std::int16_t>(std::clamp(gaussian(random), -32768.0f, 32767.0f));
    }
    return table;
}

// Like speech for the cutting of long recordings: 2.6 s of noise at RMS 0.1, then a pause of
// 0.4 s at RMS 0.001.
inline SampleTable SpeechLikeTable() {
    SampleTable table = NoiseTable(0.1f);
    table.resize(48'000);
    for (std::size_t i = 41'600; i < table.size(); ++i) table[i] /= 100;
    return table;
}

// The samples a recording of `count` samples from the table holds, as the capture makes them
// (unconditioned), the last `quietTail` as the synthetic device makes them quiet.
inline std::vector<float> TableSamples(const SampleTable& table, std::size_t count,
                                       std::size_t quietTail = 0) {
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        const int divisor = count - i <= quietTail ? 100 : 1;
        samples[i] = static_cast<std::int16_t>(table[i % table.size()] / divisor) / 32768.0f;
    }
    return samples;
}

// A wave-input device that returns `totalSamples` from the table (its last `quietTailSamples` a
// hundredth as loud, like the table's pauses: the user pausing before the release), `pace`
// times faster than a microphone but the last 30 s at a microphone's pace (pace 0: all as fast as
// the capture takes them), then holds on to its buffers until it is woken, like a microphone while
// the trigger is held. The last 30 s decide what is left at the release: the last part handed over
// during the hold can come as late as the release itself, and a real microphone gives the worker
// that time.
class SyntheticWaveInDevice final : public WaveInDevice {
public:
    SyntheticWaveInDevice(SampleTable table, std::size_t totalSamples, double pace,
                          std::size_t quietTailSamples = 0)
        : remainingSamples_(totalSamples),
          quietTailSamples_(quietTailSamples),
          fastSamples_(totalSamples > kRealTimeTailSamples ? totalSamples - kRealTimeTailSamples
                                                           : 0),
          table_(std::move(table)),
          pace_(pace) {}

    static constexpr std::size_t kRealTimeTailSamples = 30 * 16'000;

    bool CreateBufferEvent() override { return true; }
    void CloseBufferEvent() override {}
    WaveInResult Open(std::uint32_t, const WaveInFormat&) override { return kWaveInOk; }
    WaveInResult PrepareBuffer(std::size_t index, std::span<std::byte> memory) override {
        buffers_[index] = {memory, false, 0};
        return kWaveInOk;
    }
    WaveInResult AddBuffer(std::size_t index) override {
        buffers_[index].done = false;
        queue_.push_back(index);
        return kWaveInOk;
    }
    WaveInResult Start() override { return kWaveInOk; }
    BufferWaitResult WaitForBuffer(std::uint32_t) override {
        if (remainingSamples_ > 0 && !queue_.empty()) {
            WaitForPace();
            FillOldestQueued();
            return BufferWaitResult::Signalled;
        }
        std::unique_lock lock(mutex_);
        drained_ = true;
        changed_.notify_all();
        changed_.wait(lock, [this] { return wakePending_; });
        wakePending_ = false;
        return BufferWaitResult::Signalled;
    }
    // Returns once every generated sample has been taken and the capture waits for more.
    void WaitUntilDrained() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return drained_; });
    }
    void WakeWaiter() override {
        std::lock_guard lock(mutex_);
        wakePending_ = true;
        changed_.notify_all();
    }
    std::optional<std::uint32_t> ReturnedByteCount(std::size_t index) override {
        if (!buffers_[index].done) return std::nullopt;
        return buffers_[index].recordedBytes;
    }
    WaveInResult Stop() override { return kWaveInOk; }
    WaveInResult Reset() override {
        queue_.clear();
        return kWaveInOk;
    }
    WaveInResult UnprepareBuffer(std::size_t) override { return kWaveInOk; }
    WaveInResult Close() override { return kWaveInOk; }
    WaveInResult GetErrorText(WaveInResult, std::span<char>) const override { return 1; }

private:
    struct Buffer {
        std::span<std::byte> memory;
        bool done = false;
        std::uint32_t recordedBytes = 0;
    };

    // By now the device has delivered every sample so far: the fast ones at `pace` times real
    // time, the rest at real time.
    void WaitForPace() {
        if (pace_ <= 0) return;
        if (deliveredSamples_ == 0) started_ = Clock::now();
        const std::size_t fast = std::min(deliveredSamples_, fastSamples_);
        const double seconds = fast / 16'000.0 / pace_ + (deliveredSamples_ - fast) / 16'000.0;
        std::this_thread::sleep_until(started_ + std::chrono::duration_cast<Clock::duration>(
                                                     std::chrono::duration<double>(seconds)));
    }

    void FillOldestQueued() {
        Buffer& buffer = buffers_[queue_.front()];
        queue_.erase(queue_.begin());
        const std::size_t samples =
            std::min(remainingSamples_, buffer.memory.size() / sizeof(std::int16_t));
        auto* data = reinterpret_cast<std::int16_t*>(buffer.memory.data());
        for (std::size_t i = 0; i < samples; ++i) {
            const bool quiet = remainingSamples_ - i <= quietTailSamples_;
            data[i] = static_cast<std::int16_t>(table_[tablePosition_] / (quiet ? 100 : 1));
            tablePosition_ = (tablePosition_ + 1) % table_.size();
        }
        remainingSamples_ -= samples;
        deliveredSamples_ += samples;
        buffer.done = true;
        buffer.recordedBytes = static_cast<std::uint32_t>(samples * sizeof(std::int16_t));
    }

    std::size_t remainingSamples_;
    std::size_t quietTailSamples_;
    std::size_t fastSamples_;
    std::size_t deliveredSamples_ = 0;
    SampleTable table_;
    std::size_t tablePosition_ = 0;
    double pace_;
    Clock::time_point started_{};
    std::array<Buffer, kCaptureBufferCount> buffers_{};
    std::vector<std::size_t> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool drained_ = false;
    bool wakePending_ = false;
};

// Waits for the end of one recording's processing; notes when its result came.
class FinishedSignal {
public:
    RecognitionCallbacks Callbacks() {
        return {.onText =
                    [this](const std::string& text) {
                        std::lock_guard lock(mutex_);
                        textBytes_ = text.size();
                        resultAt_ = Clock::now();
                    },
                .onFinished =
                    [this] {
                        std::lock_guard lock(mutex_);
                        if (resultAt_ == Clock::time_point{}) resultAt_ = Clock::now();
                        finished_ = true;
                        changed_.notify_all();
                    }};
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return finished_; });
    }
    std::size_t TextBytes() const { return textBytes_; }
    // The text's arrival, or the end when there was no text.
    Clock::time_point ResultAt() const { return resultAt_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool finished_ = false;
    std::size_t textBytes_ = 0;
    Clock::time_point resultAt_{};
};

// Makes the devices of a service's recordings and hands the latest one to the bench.
class DeviceMaker {
public:
    DeviceMaker(SampleTable table, std::size_t samples, double pace = 0)
        : table_(std::move(table)), samples_(samples), pace_(pace) {}

    // The recordings from now on: `samples` at `pace`, the last `quietTail` of them quiet.
    void SetRecording(std::size_t samples, double pace, std::size_t quietTail = 0) {
        std::lock_guard lock(mutex_);
        samples_ = samples;
        pace_ = pace;
        quietTail_ = quietTail;
    }

    WaveInDeviceFactory Factory() {
        return [this]() -> std::unique_ptr<WaveInDevice> {
            std::lock_guard lock(mutex_);
            auto device =
                std::make_unique<SyntheticWaveInDevice>(table_, samples_, pace_, quietTail_);
            latest_ = device.get();
            made_.notify_all();
            return device;
        };
    }
    // Waits until the recording started last has taken all its samples.
    void WaitUntilCaptured() {
        SyntheticWaveInDevice* device = nullptr;
        {
            std::unique_lock lock(mutex_);
            made_.wait(lock, [this] { return latest_ != nullptr; });
            device = std::exchange(latest_, nullptr);
        }
        device->WaitUntilDrained();
    }

private:
    SampleTable table_;
    std::size_t samples_;
    double pace_;
    std::size_t quietTail_ = 0;
    std::mutex mutex_;
    std::condition_variable made_;
    SyntheticWaveInDevice* latest_ = nullptr;
};

// A field of /proc/self/status in kB (VmRSS:, VmHWM:), -1 when there is none.
inline long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    }
    return -1;
}

}  // namespace orvello::bench
