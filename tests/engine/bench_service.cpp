// Not a test: prints what the recognition service costs.
//   - release latency: the time StopRecording takes, median and worst of 50 recordings of 5 s;
//   - the per-sample cost of the conditioning, alone and inside a capture;
//   - the peak memory of a 10-minute recording and its transcription on the realistic model,
//     beyond the loaded model (Linux: the process's peak resident size).
// usage: bench_service TEST_MODELS_DIRECTORY
#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/audio_capture.h"
#include "audio/conditioning.h"
#include "engine/recognition_service.h"
#include "engine/transcription_chunks.h"

namespace orvello {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A wave-input device that returns `totalSamples` of generated audio as fast as the capture takes
// it, then holds on to its buffers until it is woken, like a microphone while the trigger is held.
class SyntheticWaveInDevice final : public WaveInDevice {
public:
    // Gaussian noise of the given RMS (full scale 1.0), from a table that repeats every 4 s.
    SyntheticWaveInDevice(std::size_t totalSamples, float noiseRms)
        : remainingSamples_(totalSamples), noise_(kNoiseTableSamples) {
        std::mt19937 random(20240611);
        std::normal_distribution<float> gaussian(0.0f, noiseRms * 32768.0f);
        for (std::int16_t& sample : noise_) {
            sample = static_cast<std::int16_t>(std::clamp(gaussian(random), -32768.0f, 32767.0f));
        }
    }

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

    void FillOldestQueued() {
        Buffer& buffer = buffers_[queue_.front()];
        queue_.erase(queue_.begin());
        const std::size_t samples =
            std::min(remainingSamples_, buffer.memory.size() / sizeof(std::int16_t));
        auto* data = reinterpret_cast<std::int16_t*>(buffer.memory.data());
        for (std::size_t i = 0; i < samples; ++i) {
            data[i] = noise_[noisePosition_];
            noisePosition_ = (noisePosition_ + 1) % noise_.size();
        }
        remainingSamples_ -= samples;
        buffer.done = true;
        buffer.recordedBytes = static_cast<std::uint32_t>(samples * sizeof(std::int16_t));
    }

    static constexpr std::size_t kNoiseTableSamples = 65'536;

    std::size_t remainingSamples_;
    std::vector<std::int16_t> noise_;
    std::size_t noisePosition_ = 0;
    std::array<Buffer, kCaptureBufferCount> buffers_{};
    std::vector<std::size_t> queue_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool drained_ = false;
    bool wakePending_ = false;
};

// Waits for the end of one recording's processing.
class FinishedSignal {
public:
    RecognitionCallbacks Callbacks() {
        return {.onText = [this](const std::string& text) { textBytes_ = text.size(); },
                .onFinished =
                    [this] {
                        std::lock_guard lock(mutex_);
                        finished_ = true;
                        changed_.notify_all();
                    }};
    }
    void Wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return finished_; });
    }
    std::size_t TextBytes() const { return textBytes_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool finished_ = false;
    std::size_t textBytes_ = 0;
};

// Makes the devices of a service's recordings and hands the latest one to the bench.
class DeviceMaker {
public:
    DeviceMaker(std::size_t samples, float noiseRms) : samples_(samples), noiseRms_(noiseRms) {}

    WaveInDeviceFactory Factory() {
        return [this]() -> std::unique_ptr<WaveInDevice> {
            auto device = std::make_unique<SyntheticWaveInDevice>(samples_, noiseRms_);
            std::lock_guard lock(mutex_);
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
    std::size_t samples_;
    float noiseRms_;
    std::mutex mutex_;
    std::condition_variable made_;
    SyntheticWaveInDevice* latest_ = nullptr;
};

void BenchReleaseLatency(const fs::path& models) {
    constexpr int kRecordings = 50;
    constexpr std::size_t kSamples = 5 * 16'000;
    DeviceMaker devices(kSamples, 0.0f);
    RecognitionService service({.modelDirectory = models / "scripted-pcm"}, devices.Factory());
    service.EnsureModelLoaded();
    std::vector<double> latenciesMs;
    for (int i = 0; i < kRecordings; ++i) {
        FinishedSignal finished;
        service.StartRecording(0, finished.Callbacks());
        devices.WaitUntilCaptured();
        const Clock::time_point released = Clock::now();
        service.StopRecording();
        latenciesMs.push_back(MillisecondsSince(released));
        finished.Wait();
        while (service.IsBusy()) std::this_thread::yield();
    }
    std::sort(latenciesMs.begin(), latenciesMs.end());
    std::printf(
        "release latency, %d recordings of 5 s: median %.3f ms, worst %.3f ms "
        "(goal: median under 20 ms)\n",
        kRecordings, latenciesMs[latenciesMs.size() / 2], latenciesMs.back());
}

void BenchConditioning() {
    constexpr std::size_t kSamples = 16'000 * 600;
    std::vector<float> input(kSamples);
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.1f);
    for (float& sample : input) sample = noise(random);
    SignalConditioner conditioner(ConditioningSettings{});
    float sink = 0.0f;
    const Clock::time_point start = Clock::now();
    for (const float sample : input) sink += conditioner.Condition(sample);
    const double ms = MillisecondsSince(start);
    std::printf("conditioning alone: %.2f ns a sample (%.1f ms for 10 min of audio)%s\n",
                ms * 1e6 / kSamples, ms, sink == 12345.0f ? " " : "");

    for (const bool enabled : {false, true}) {
        SyntheticWaveInDevice device(kSamples, 0.1f);
        AudioCapture capture(device);
        CaptureStopFlag stop;
        const Clock::time_point captureStart = Clock::now();
        std::thread releaser([&] {
            device.WaitUntilDrained();
            stop.Set();
        });
        const std::vector<float> samples = capture.Run(0, {.enabled = enabled}, stop, [](float) {});
        const double captureMs = MillisecondsSince(captureStart);
        releaser.join();
        std::printf(
            "capture of 10 min with conditioning %s: %.2f ns a sample (%zu samples, "
            "the device's copying included)\n",
            enabled ? "on" : "off", captureMs * 1e6 / samples.size(), samples.size());
    }
}

long StatusKilobytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::string(field).size()));
    }
    return -1;
}

void BenchTenMinutes(const fs::path& models) {
    constexpr std::size_t kSamples = 10 * 60 * 16'000;
    DeviceMaker devices(kSamples, 0.1f);
    RecognitionService service({.modelDirectory = models / "realistic"}, devices.Factory());
    service.EnsureModelLoaded();
    const long loadedKb = StatusKilobytes("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    FinishedSignal finished;
    const Clock::time_point start = Clock::now();
    service.StartRecording(0, finished.Callbacks());
    devices.WaitUntilCaptured();
    service.StopRecording();
    const double captureMs = MillisecondsSince(start);
    finished.Wait();
    const double totalMs = MillisecondsSince(start);
    const long peakKb = StatusKilobytes("VmHWM:");
    std::printf(
        "10 min on the realistic model: loaded %.1f MiB, peak %.1f MiB, %.1f MiB beyond "
        "the loaded model (goal: under 1024 MiB); capture %.1f s, transcription %.1f s, "
        "%zu text bytes\n",
        loadedKb / 1024.0, peakKb / 1024.0, (peakKb - loadedKb) / 1024.0, captureMs / 1000.0,
        (totalMs - captureMs) / 1000.0, finished.TextBytes());
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s TEST_MODELS_DIRECTORY\n", argv[0]);
        return 2;
    }
    const orvello::fs::path models = argv[1];
    orvello::BenchReleaseLatency(models);
    orvello::BenchConditioning();
    orvello::BenchTenMinutes(models);
    return 0;
}
