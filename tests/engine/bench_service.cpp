// Not a test: prints what the recognition service costs.
//   - release latency: the time StopRecording takes, median and worst of 50 recordings of 5 s;
//   - the per-sample cost of the conditioning, alone and inside a capture;
//   - holds of the given lengths on a speech model, each on a freshly loaded model after one
//     warm-up recording: the time from the release to the result beside the engine's own
//     Transcribe time for the part the service has left at the release (the last part of the
//     recording's cut plan), and the peak memory beyond the loaded model (Linux: the process's
//     peak resident size). The scripted device delivers the audio PACE times faster than a
//     microphone but its last 30 s at a microphone's pace, so a long hold takes a fraction of
//     its length and what is left at the release is what a microphone would leave.
// usage: bench_service TEST_MODELS_DIRECTORY SPEECH_MODEL_DIRECTORY PACE HOLD_SECONDS...
// Each figure is one line "figure: what | hold | measured | reference".
#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "audio/audio_capture.h"
#include "audio/conditioning.h"
#include "engine/parakeet_engine.h"
#include "engine/recognition_service.h"
#include "engine/transcription_chunks.h"

namespace orvello {
namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One table of 16-bit samples, repeated for as long as a recording lasts.
using SampleTable = std::vector<std::int16_t>;

// Gaussian noise of the given RMS (full scale 1.0), repeating every 4 s.
SampleTable NoiseTable(float noiseRms) {
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
SampleTable SpeechLikeTable() {
    SampleTable table = NoiseTable(0.1f);
    table.resize(48'000);
    for (std::size_t i = 41'600; i < table.size(); ++i) table[i] /= 100;
    return table;
}

// The samples a recording of `count` samples from the table holds, as the capture makes them.
std::vector<float> TableSamples(const SampleTable& table, std::size_t count) {
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) samples[i] = table[i % table.size()] / 32768.0f;
    return samples;
}

// A wave-input device that returns `totalSamples` from the table, `pace` times faster than a
// microphone but the last 30 s at a microphone's pace (pace 0: all as fast as the capture takes
// them), then holds on to its buffers until it is woken, like a microphone while the trigger is
// held. The last 30 s decide what is left at the release: the last part handed over during the
// hold can come as late as the release itself, and a real microphone gives the worker that time.
class SyntheticWaveInDevice final : public WaveInDevice {
public:
    SyntheticWaveInDevice(SampleTable table, std::size_t totalSamples, double pace)
        : remainingSamples_(totalSamples),
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
            data[i] = table_[tablePosition_];
            tablePosition_ = (tablePosition_ + 1) % table_.size();
        }
        remainingSamples_ -= samples;
        deliveredSamples_ += samples;
        buffer.done = true;
        buffer.recordedBytes = static_cast<std::uint32_t>(samples * sizeof(std::int16_t));
    }

    std::size_t remainingSamples_;
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

    // The recordings from now on: `samples` at `pace`.
    void SetRecording(std::size_t samples, double pace) {
        std::lock_guard lock(mutex_);
        samples_ = samples;
        pace_ = pace;
    }

    WaveInDeviceFactory Factory() {
        return [this]() -> std::unique_ptr<WaveInDevice> {
            std::lock_guard lock(mutex_);
            auto device = std::make_unique<SyntheticWaveInDevice>(table_, samples_, pace_);
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
    std::mutex mutex_;
    std::condition_variable made_;
    SyntheticWaveInDevice* latest_ = nullptr;
};

void BenchReleaseLatency(const fs::path& models) {
    constexpr int kRecordings = 50;
    constexpr std::size_t kSamples = 5 * 16'000;
    DeviceMaker devices(NoiseTable(0.0f), kSamples);
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
        "figure: StopRecording latency, median of %d | hold 5 s | %.3f ms (worst %.3f ms) | "
        "goal: under 20 ms\n",
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
    std::printf("figure: conditioning alone | 600 s of audio | %.2f ns a sample (%.1f ms) | -%s\n",
                ms * 1e6 / kSamples, ms, sink == 12345.0f ? " " : "");

    for (const bool enabled : {false, true}) {
        SyntheticWaveInDevice device(NoiseTable(0.1f), kSamples, 0);
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
            "figure: capture with conditioning %s, device copying included | 600 s of audio | "
            "%.2f ns a sample (%zu samples) | -\n",
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

struct HoldFigures {
    double seconds = 0;
    double captureSeconds = 0;          // from the start until the device has delivered all
    double releaseToResultSeconds = 0;  // from StopRecording to the text (or the end): median
    int holds = 1;                      // of this many
    double beyondLoadedMiB = 0;
    std::size_t textBytes = 0;
};

// Runs one recording to its end.
void Record(RecognitionService& service, DeviceMaker& devices) {
    FinishedSignal finished;
    service.StartRecording(0, finished.Callbacks());
    devices.WaitUntilCaptured();
    service.StopRecording();
    finished.Wait();
}

// Recordings of `seconds` of speech-like audio on a freshly loaded model, after a first one of up
// to 30 s at full speed (the engine's first runs are slower, as after Orvello's start): three of
// a minute or less (the median release -> result counts), else one. The peak memory counts from
// the loaded model on.
HoldFigures MeasureHold(const fs::path& model, double seconds, double pace) {
    constexpr std::size_t kLongestWarmUpSamples = 30 * 16'000;
    const auto samples = static_cast<std::size_t>(seconds * 16'000);
    DeviceMaker devices(SpeechLikeTable(), std::min(samples, kLongestWarmUpSamples));
    // The conditioning stays off, so the recording holds exactly the table's samples and the
    // engine's reference run below gets the same audio.
    RecognitionService service({.modelDirectory = model, .conditioning = {.enabled = false}},
                               devices.Factory());
    service.EnsureModelLoaded();
    const long loadedKb = StatusKilobytes("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    Record(service, devices);
    devices.SetRecording(samples, pace);
    HoldFigures figures{.seconds = seconds};
    std::vector<double> releaseToResult;
    for (int hold = 0; hold < (seconds <= 60 ? 3 : 1); ++hold) {
        FinishedSignal finished;
        const Clock::time_point start = Clock::now();
        service.StartRecording(0, finished.Callbacks());
        devices.WaitUntilCaptured();
        const Clock::time_point released = Clock::now();
        service.StopRecording();
        finished.Wait();
        while (service.IsBusy()) std::this_thread::yield();
        figures.captureSeconds = std::chrono::duration<double>(released - start).count();
        figures.textBytes = finished.TextBytes();
        releaseToResult.push_back(
            std::chrono::duration<double>(finished.ResultAt() - released).count());
    }
    std::sort(releaseToResult.begin(), releaseToResult.end());
    figures.releaseToResultSeconds = releaseToResult[releaseToResult.size() / 2];
    figures.holds = int(releaseToResult.size());
    figures.beyondLoadedMiB = (StatusKilobytes("VmHWM:") - loadedKb) / 1024.0;
    return figures;
}

// The engine's own time for what is left at the release: the last part of the recording's cut
// plan; and for the part before it, which the service hands over once the recording is 30 s past
// the cut before that, so that it may still be in work at the release. Medians of three runs on
// an engine of its own.
struct RemainderFigures {
    double seconds = 0;
    double engineSeconds = 0;               // median of three
    double firstEngineSeconds = 0;          // the first run at this length also grows the memory
    std::optional<double> lastPartSeconds;  // of audio: the part before the remainder
    double lastPartEngineSeconds = 0;       // median of three
    double lastPartHandedOverBeforeRelease = 0;  // seconds
};

double MedianEngineSeconds(ParakeetEngine& engine, const std::vector<float>& samples,
                           double* firstRun = nullptr) {
    std::array<double, 3> runs{};
    for (double& run : runs) {
        const Clock::time_point start = Clock::now();
        (void)engine.Transcribe(samples);
        run = std::chrono::duration<double>(Clock::now() - start).count();
    }
    if (firstRun) *firstRun = runs[0];
    std::sort(runs.begin(), runs.end());
    return runs[1];
}

RemainderFigures MeasureRemainder(ParakeetEngine& engine, double holdSeconds) {
    const std::vector<float> all =
        TableSamples(SpeechLikeTable(), static_cast<std::size_t>(holdSeconds * 16'000));
    const std::vector<SampleRange> parts = PlanTranscriptionChunks(all);
    const auto samplesOf = [&all](const SampleRange& part) {
        return std::vector<float>(all.begin() + std::ptrdiff_t(part.begin),
                                  all.begin() + std::ptrdiff_t(part.end));
    };
    RemainderFigures figures;
    figures.seconds = parts.back().size() / 16'000.0;
    figures.engineSeconds =
        MedianEngineSeconds(engine, samplesOf(parts.back()), &figures.firstEngineSeconds);
    if (parts.size() >= 2) {
        const SampleRange& part = parts[parts.size() - 2];
        const std::size_t handedOver =
            std::min(all.size(), part.begin + ChunkingLimits{}.longestChunkSamples + 1);
        figures.lastPartSeconds = part.size() / 16'000.0;
        figures.lastPartEngineSeconds = MedianEngineSeconds(engine, samplesOf(part));
        figures.lastPartHandedOverBeforeRelease = (all.size() - handedOver) / 16'000.0;
    }
    return figures;
}

void PrintHold(const HoldFigures& hold, const RemainderFigures& remainder, double pace) {
    const double unfinished = hold.releaseToResultSeconds - remainder.engineSeconds;
    std::printf(
        "figure: release -> result, median of %d | hold %.0f s | %.3f s | engine time for the "
        "remainder (%.1f s of audio) %.3f s (first run %.3f s); goal: at most that + 0.05 s\n",
        hold.holds, hold.seconds, hold.releaseToResultSeconds, remainder.seconds,
        remainder.engineSeconds, remainder.firstEngineSeconds);
    std::printf(
        "figure: work left beyond the remainder at the release | hold %.0f s | %.3f s | "
        "about 0 when the worker keeps up with the device\n",
        hold.seconds, unfinished);
    if (remainder.lastPartSeconds) {
        std::printf(
            "figure: the part before the remainder | hold %.0f s | handed over %.1f s before the "
            "release | engine time %.3f s (%.1f s of audio): the most that can be left of it\n",
            hold.seconds, remainder.lastPartHandedOverBeforeRelease,
            remainder.lastPartEngineSeconds, *remainder.lastPartSeconds);
    }
    std::printf(
        "figure: device pace | hold %.0f s | %.1f x real time, the last 30 s 1 x (capture "
        "%.1f s) | a microphone: 1 x\n",
        hold.seconds, pace > 0 ? pace : hold.seconds / hold.captureSeconds, hold.captureSeconds);
    std::printf(
        "figure: peak memory beyond the loaded model | hold %.0f s | %.0f MiB | "
        "goal: at most 1024 MiB (%zu text bytes)\n",
        hold.seconds, hold.beyondLoadedMiB, hold.textBytes);
}

void BenchHolds(const fs::path& model, double pace, const std::vector<double>& holdSeconds) {
    std::vector<HoldFigures> holds;
    for (const double seconds : holdSeconds) holds.push_back(MeasureHold(model, seconds, pace));
    ParakeetEngine engine(model);
    (void)engine.Transcribe(std::vector<float>(16'000));  // warm up the sessions
    for (const HoldFigures& hold : holds) {
        PrintHold(hold, MeasureRemainder(engine, hold.seconds), pace);
    }
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(
            stderr, "usage: %s TEST_MODELS_DIRECTORY SPEECH_MODEL_DIRECTORY PACE HOLD_SECONDS...\n",
            argv[0]);
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
    const orvello::fs::path models = argv[1];
    std::vector<double> holdSeconds;
    for (int i = 4; i < argc; ++i) holdSeconds.push_back(std::atof(argv[i]));
    try {
        orvello::BenchReleaseLatency(models);
        orvello::BenchConditioning();
        orvello::BenchHolds(argv[2], std::atof(argv[3]), holdSeconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        return 1;
    }
    return 0;
}
