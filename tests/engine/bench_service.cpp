// Not a test: prints what the recognition service costs.
//   - release latency: the time StopRecording takes, median and worst of 50 recordings of 5 s;
//   - the per-sample cost of the conditioning, alone and inside a capture;
//   - holds of the given lengths on a speech model, each on a freshly loaded model after one
//     warm-up recording: the time from the release to the result beside the engine's own
//     Transcribe time for the part the service has left at the release (the last part of the
//     recording's cut plan, trimmed after its speech), whether the result came from a draft made
//     at the pause before the release, the engine time spent on drafts per minute of speech beside
//     that of the recording's own parts, and the peak memory beyond the loaded model (Linux: the
//     process's peak resident size). A hold ends in 0.8 s of quiet before the release, or with
//     an "m" after its length (5m) in mid-speech. The scripted device delivers the audio PACE times
//     faster than a microphone but its last 30 s at a microphone's pace, so a long hold takes a
//     fraction of its length and what is left at the release is what a microphone would leave.
// usage: bench_service TEST_MODELS_DIRECTORY SPEECH_MODEL_DIRECTORY PACE HOLD_SECONDS[m]...
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
#include "engine/speech_end.h"
#include "engine/transcription_chunks.h"
#include "tests/engine/bench_service_support.h"

namespace orvello {
namespace {

using namespace bench;

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

// 0.8 s: the user pauses before letting go.
constexpr std::size_t kQuietTailSamples = 12'800;

struct Hold {
    double seconds = 0;
    bool midSpeech = false;  // released while still speaking, else after kQuietTailSamples

    [[nodiscard]] std::size_t Samples() const { return static_cast<std::size_t>(seconds * 16'000); }
    [[nodiscard]] std::size_t QuietTail() const { return midSpeech ? 0 : kQuietTailSamples; }
    [[nodiscard]] std::string Name() const {
        return "hold " + std::to_string(int(seconds)) + " s" + (midSpeech ? " mid-speech" : "");
    }
};

// What the worker spent on the measured holds.
struct DraftFigures {
    int resultsFromDrafts = 0;
    int draftsRun = 0;
    int draftsStopped = 0;
    int partsFromDrafts = 0;
    double draftEngineSeconds = 0;
    double partEngineSeconds = 0;

    void Add(const TranscriptionTally& before, const TranscriptionTally& after) {
        resultsFromDrafts += after.remaindersFromDrafts > before.remaindersFromDrafts ? 1 : 0;
        draftsRun += after.draftsRun - before.draftsRun;
        draftsStopped += after.draftsStopped - before.draftsStopped;
        partsFromDrafts += after.partsFromDrafts - before.partsFromDrafts;
        draftEngineSeconds += after.draftEngineSeconds - before.draftEngineSeconds;
        partEngineSeconds += after.partEngineSeconds - before.partEngineSeconds;
    }
};

struct HoldFigures {
    Hold hold{};
    double captureSeconds = 0;          // from the start until the device has delivered all
    double releaseToResultSeconds = 0;  // from StopRecording to the text (or the end): median
    int holds = 1;                      // of this many
    double beyondLoadedMiB = 0;
    std::size_t textBytes = 0;
    DraftFigures drafts{};
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
HoldFigures MeasureHold(const fs::path& model, const Hold& hold, double pace) {
    constexpr std::size_t kLongestWarmUpSamples = 30 * 16'000;
    const std::size_t samples = hold.Samples();
    DeviceMaker devices(SpeechLikeTable(), std::min(samples, kLongestWarmUpSamples));
    // The conditioning stays off, so the recording holds exactly the table's samples and the
    // engine's reference run below gets the same audio.
    // ORVELLO_BENCH_DRAFTS=0 measures the service without drafts at pauses, for comparison.
    const char* drafts = std::getenv("ORVELLO_BENCH_DRAFTS");
    RecognitionService service({.modelDirectory = model,
                                .conditioning = {.enabled = false},
                                .draftsAtPauses = !drafts || std::string(drafts) != "0"},
                               devices.Factory());
    service.EnsureModelLoaded();
    const long loadedKb = StatusKilobytes("VmRSS:");
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak starts again from here
    Record(service, devices);
    devices.SetRecording(samples, pace, hold.QuietTail());
    HoldFigures figures{.hold = hold};
    std::vector<double> releaseToResult;
    for (int run = 0; run < (hold.seconds <= 61 ? 3 : 1); ++run) {
        const TranscriptionTally before = service.Tally();
        FinishedSignal finished;
        const Clock::time_point start = Clock::now();
        service.StartRecording(0, finished.Callbacks());
        devices.WaitUntilCaptured();
        const Clock::time_point released = Clock::now();
        service.StopRecording();
        finished.Wait();
        while (service.IsBusy()) std::this_thread::yield();
        figures.drafts.Add(before, service.Tally());
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

RemainderFigures MeasureRemainder(ParakeetEngine& engine, const Hold& hold) {
    const std::vector<float> all =
        TableSamples(SpeechLikeTable(), hold.Samples(), hold.QuietTail());
    const std::vector<SampleRange> parts = PlanTranscriptionChunks(all);
    const auto samplesOf = [&all](const SampleRange& part) {
        return TrimAfterSpeech(
            {all.begin() + std::ptrdiff_t(part.begin), all.begin() + std::ptrdiff_t(part.end)},
            {.enabled = false});
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

void PrintDrafts(const HoldFigures& figures) {
    const DraftFigures& drafts = figures.drafts;
    const double speechMinutes = figures.hold.seconds * figures.holds / 60.0;
    std::printf(
        "figure: result from a draft | %s | %d of %d holds | %d drafts run, %d of them stopped, "
        "%d parts and remainders took a draft's text\n",
        figures.hold.Name().c_str(), drafts.resultsFromDrafts, figures.holds, drafts.draftsRun,
        drafts.draftsStopped, drafts.partsFromDrafts);
    std::printf(
        "figure: engine time per minute of speech | %s | drafts %.3f s, the recording's parts "
        "%.3f s (%.2f x) | goal: drafts at most 2 x the parts (a reused draft counts for both)\n",
        figures.hold.Name().c_str(), drafts.draftEngineSeconds / speechMinutes,
        drafts.partEngineSeconds / speechMinutes,
        drafts.partEngineSeconds > 0 ? drafts.draftEngineSeconds / drafts.partEngineSeconds : 0.0);
}

void PrintHold(const HoldFigures& figures, const RemainderFigures& remainder, double pace) {
    const std::string name = figures.hold.Name();
    const double unfinished = figures.releaseToResultSeconds - remainder.engineSeconds;
    std::printf(
        "figure: release -> result, median of %d | %s | %.3f s | engine time for the "
        "remainder (%.1f s of audio) %.3f s (first run %.3f s); goal: at most that + 0.05 s, "
        "0.05 s after a pause\n",
        figures.holds, name.c_str(), figures.releaseToResultSeconds, remainder.seconds,
        remainder.engineSeconds, remainder.firstEngineSeconds);
    PrintDrafts(figures);
    std::printf(
        "figure: work left beyond the remainder at the release | %s | %.3f s | "
        "about 0 when the worker keeps up with the device\n",
        name.c_str(), unfinished);
    if (remainder.lastPartSeconds) {
        std::printf(
            "figure: the part before the remainder | %s | handed over %.1f s before the "
            "release | engine time %.3f s (%.1f s of audio): the most that can be left of it\n",
            name.c_str(), remainder.lastPartHandedOverBeforeRelease,
            remainder.lastPartEngineSeconds, *remainder.lastPartSeconds);
    }
    std::printf(
        "figure: device pace | %s | %.1f x real time, the last 30 s 1 x (capture "
        "%.1f s) | a microphone: 1 x\n",
        name.c_str(), pace > 0 ? pace : figures.hold.seconds / figures.captureSeconds,
        figures.captureSeconds);
    std::printf(
        "figure: peak memory beyond the loaded model | %s | %.0f MiB | "
        "goal: at most 1024 MiB (%zu text bytes)\n",
        name.c_str(), figures.beyondLoadedMiB, figures.textBytes);
}

void BenchHolds(const fs::path& model, double pace, const std::vector<Hold>& holds) {
    std::vector<HoldFigures> measured;
    for (const Hold& hold : holds) measured.push_back(MeasureHold(model, hold, pace));
    ParakeetEngine engine(model);
    (void)engine.Transcribe(std::vector<float>(16'000));  // warm up the sessions
    for (const HoldFigures& figures : measured) {
        PrintHold(figures, MeasureRemainder(engine, figures.hold), pace);
    }
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(
            stderr,
            "usage: %s TEST_MODELS_DIRECTORY SPEECH_MODEL_DIRECTORY PACE HOLD_SECONDS[m]...\n",
            argv[0]);
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
    const orvello::fs::path models = argv[1];
    std::vector<orvello::Hold> holds;
    for (int i = 4; i < argc; ++i) {
        const std::string hold = argv[i];
        holds.push_back({.seconds = std::atof(hold.c_str()), .midSpeech = hold.ends_with("m")});
    }
    try {
        orvello::BenchReleaseLatency(models);
        orvello::BenchConditioning();
        orvello::BenchHolds(argv[2], std::atof(argv[3]), holds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        return 1;
    }
    return 0;
}
