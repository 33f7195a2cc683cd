// Not a test: prints what the real Orvello.exe costs under Wine with the model of its run folder.
//   - start-up: from the process start to "Engine ready." in the log, beside the time a bare
//     ParakeetEngine takes to create its sessions from the same folder: with "Faster Engine
//     Start" off, then on with no model cache (the first start, after which it writes the cache,
//     and how long until the cache is complete) and once more (the next start, from the cache);
//     and Orvello's memory after the first dictation of each start;
//   - each hold three times (the median printed), after one unmeasured hold that warms the
//     engine up: Right Ctrl held with xdotool while the WAV file (a hold's length of speech) goes
//     into the virtual microphone, then released with Orvello's window in front, so the result
//     is only logged; the time from the release (xdotool's keyup returned) to "[Transcribing...]"
//     (the capture has ended) and to the result line in the log, beside the engine's own
//     Transcribe time in this run for the same audio cut into the parts the recognition service
//     cuts it into: all parts, and the last one alone (what a service that transcribes while the
//     trigger is held has left at the release).
// usage: bench_program RUN_FOLDER WAV...   (Unix paths; run inside scripts/with-test-env)
// Each figure is one line "figure: what | hold | measured | reference".
#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>

#include "engine/model_cache.h"
#include "engine/parakeet_engine.h"
#include "engine/transcription_chunks.h"
#include "tests/app/dictation_driver_win.h"
#include "tests/app/orvello_process_win.h"
#include "tests/app/recording_message_pump.h"
#include "tests/support/desktop.h"
#include "tools/wav_file.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Carries the end of the speech through the device's buffers before the trigger is released.
constexpr auto kTailSilence = 600ms;
constexpr auto kLongestWait = 10min;
// Holds of each length measured; the median is printed.
constexpr int kHoldsPerLength = 3;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::wstring WindowsPath(const std::string& unixPath) {
    return test::RunFolder(unixPath.c_str());
}

// The recording Orvello makes of the file: its samples and the tail of silence.
std::vector<float> HeldAudio(const std::string& unixWav) {
    const std::string windowsWav = "Z:" + unixWav;
    std::vector<float> samples = ToFloatSamples(ReadWav16kMono(windowsWav));
    samples.resize(samples.size() + 16 * std::size_t(kTailSilence.count()), 0.0f);
    return samples;
}

// The engine's time for one hold's audio: the median of three runs, and the first of them (the
// first run at a new length also grows the runtime's memory).
struct HoldReference {
    double allPartsSeconds = 0;
    double lastPartSeconds = 0;
    double lastPartLength = 0;  // seconds of audio
    double firstAllPartsSeconds = 0;
};

struct Reference {
    double sessionSeconds = 0;
    std::vector<HoldReference> holds;  // one per file
};

HoldReference MeasureHoldReference(ParakeetEngine& engine, const std::vector<float>& audio) {
    const std::vector<SampleRange> parts = PlanTranscriptionChunks(audio);
    std::array<double, 3> all{}, last{};
    for (std::size_t run = 0; run < all.size(); ++run) {
        for (const SampleRange& part : parts) {
            const std::vector<float> samples(audio.begin() + std::ptrdiff_t(part.begin),
                                             audio.begin() + std::ptrdiff_t(part.end));
            const Clock::time_point start = Clock::now();
            (void)engine.Transcribe(samples);
            last[run] = SecondsSince(start);
            all[run] += last[run];
        }
    }
    const double first = all[0];
    std::sort(all.begin(), all.end());
    std::sort(last.begin(), last.end());
    return {all[1], last[1], parts.back().size() / 16'000.0, first};
}

Reference MeasureEngine(const std::string& runFolder, const std::vector<std::string>& wavs) {
    Reference reference;
    const Clock::time_point start = Clock::now();
    auto engine = std::make_unique<ParakeetEngine>(WindowsPath(runFolder) + L"\\models");
    reference.sessionSeconds = SecondsSince(start);
    (void)engine->Transcribe(std::vector<float>(16'000));  // warm up the sessions
    for (const std::string& wav : wavs) {
        reference.holds.push_back(MeasureHoldReference(*engine, HeldAudio(wav)));
    }
    return reference;
}

// The line the recording thread logs once the capture has ended.
std::size_t CaptureEndLines(const test::OrvelloProcess& orvello) {
    return test::LogLinesWith(orvello, {L"[Transcribing...]"});
}

// Seconds from the release: until the capture had ended, and until the result line.
struct ReleaseTimes {
    double captureEnded = -1;
    double result = -1;
};

// Holds Right Ctrl while the file goes into the microphone and releases it; times stay negative
// when a step failed.
ReleaseTimes HoldAndRelease(test::OrvelloProcess& orvello, const std::string& wav,
                            double wavSeconds) {
    const std::size_t resultsBefore = test::ResultLines(orvello);
    const std::size_t captureEndsBefore = CaptureEndLines(orvello);
    const bool spoken = test::SpeakIntoRecording(
        [&] {
            return test::FocusWindow(orvello.MainWindow()) &&
                   test::KeyDown(test::keycode::kRightCtrl);
        },
        wav, std::chrono::milliseconds(std::int64_t(wavSeconds * 1000)) + 60s);
    if (!test::KeyUp(test::keycode::kRightCtrl) || !spoken) return {};
    const Clock::time_point released = Clock::now();
    ReleaseTimes times;
    (void)test::PumpMessagesUntil(
        [&] {
            if (times.captureEnded < 0 && CaptureEndLines(orvello) > captureEndsBefore) {
                times.captureEnded = SecondsSince(released);
            }
            return test::ResultLines(orvello) > resultsBefore;
        },
        kLongestWait);
    if (test::ResultLines(orvello) > resultsBefore) times.result = SecondsSince(released);
    return times;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double WavSeconds(const std::string& wav) {
    return double(ReadWav16kMono("Z:" + wav).size()) / 16'000.0;
}

// This process's view of Orvello's memory in MiB: its private bytes (what no file backs) and its
// working set.
// Wine reports no private bytes (always 0), so under Wine the figures come from Linux, which
// Wine shows as drive Z:: the anonymous resident pages of the process whose command line names
// Orvello.exe in `runFolder` (what Windows calls private), and the file pages it maps.
std::string LinuxMemoryOfOrvello(const std::string& runFolder) {
    const std::string program =
        std::filesystem::path(runFolder).filename().string() + "\\Orvello.exe";
    std::error_code error;
    for (const auto& process : std::filesystem::directory_iterator("Z:\\proc", error)) {
        std::ifstream commandLine(process.path() / "cmdline");
        std::string words((std::istreambuf_iterator<char>(commandLine)), {});
        if (words.find(program) == std::string::npos) continue;
        std::ifstream status(process.path() / "status");
        std::string line, anonymous, file;
        while (std::getline(status, line)) {
            if (line.rfind("RssAnon:", 0) == 0) anonymous = line.substr(8);
            if (line.rfind("RssFile:", 0) == 0) file = line.substr(8);
        }
        char text[128];
        std::snprintf(text, sizeof text, "; Linux: %.0f MiB anonymous, %.0f MiB of mapped files",
                      std::atof(anonymous.c_str()) / 1024.0, std::atof(file.c_str()) / 1024.0);
        return text;
    }
    return "; Linux: not found";
}

std::string MemoryOf(const test::OrvelloProcess& orvello, const std::string& runFolder) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(orvello.Handle(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), counters.cb))
        return "unknown";
    char text[96];
    std::snprintf(text, sizeof text, "%.0f MiB private (working set %.0f MiB)",
                  double(counters.PrivateUsage) / 1048576.0,
                  double(counters.WorkingSetSize) / 1048576.0);
    return text + (counters.PrivateUsage == 0 ? LinuxMemoryOfOrvello(runFolder) : std::string());
}

// Starts Orvello and prints the time to "Engine ready."; null when it did not get ready.
std::unique_ptr<test::OrvelloProcess> StartReporting(const std::string& runFolder,
                                                     const char* which, double sessionSeconds) {
    const Clock::time_point start = Clock::now();
    auto orvello = std::make_unique<test::OrvelloProcess>(WindowsPath(runFolder));
    if (orvello->WaitForMainWindow(60s) == nullptr ||
        !orvello->WaitForLogContaining(L"Engine ready.", kLongestWait)) {
        std::fprintf(stderr, "Error: Orvello did not get ready\n");
        return nullptr;
    }
    std::printf(
        "figure: start-up to \"Engine ready.\", %s | - | %.2f s | bare session creation "
        "without the model cache %.2f s\n",
        which, SecondsSince(start), sessionSeconds);
    std::fflush(stdout);
    return orvello;
}

// Every network's entry in Orvello's model cache, within two minutes.
bool WaitForModelCache() {
    const std::filesystem::path cache = DefaultModelCacheFolder();
    const auto complete = [&] {
        for (const char* role : {"preprocessor", "encoder", "decoder_joint"})
            if (!std::filesystem::exists(cache / role / "manifest.json")) return false;
        return true;
    };
    const Clock::time_point deadline = Clock::now() + 120s;
    while (!complete()) {
        if (Clock::now() > deadline) return false;
        Sleep(200);
    }
    return true;
}

// One unmeasured hold: the engine's first runs are slower, and grow its memory, which is printed.
bool WarmUp(test::OrvelloProcess& orvello, const std::string& runFolder, const std::string& wav,
            const char* which) {
    if (HoldAndRelease(orvello, wav, WavSeconds(wav)).result < 0) {
        std::fprintf(stderr, "Error: the warm-up hold failed\n");
        return false;
    }
    std::printf(
        "figure: memory after the first dictation, %s | - | %s | goal at most 307 MiB "
        "private with the model cache\n",
        which, MemoryOf(orvello, runFolder).c_str());
    std::fflush(stdout);
    return true;
}

int Run(const std::string& runFolder, const std::vector<std::string>& wavs) {
    const Reference reference = MeasureEngine(runFolder, wavs);
    test::DeleteOrvelloSettings();
    test::WriteSettingText(L"InputDeviceId", L"OrvelloMic");
    // Without the model cache, as every start was before it.
    test::WriteSettingInt(L"FasterEngineStart", 0);
    {
        const char* which = "Faster Engine Start off";
        auto orvello = StartReporting(runFolder, which, reference.sessionSeconds);
        if (!orvello || !WarmUp(*orvello, runFolder, wavs.front(), which)) return 1;
    }
    test::WriteSettingInt(L"FasterEngineStart", 1);
    {
        // Dictation while the model cache is written after the load; then the cache complete,
        // as it is after the first minute of a day's use.
        const char* which = "first start, the model cache written meanwhile";
        const Clock::time_point start = Clock::now();
        auto orvello = StartReporting(runFolder, which, reference.sessionSeconds);
        if (!orvello || !WarmUp(*orvello, runFolder, wavs.front(), which)) return 1;
        if (!WaitForModelCache()) {
            std::fprintf(stderr, "Error: the model cache was not written\n");
            return 1;
        }
        std::printf("figure: the model cache complete after the first start | - | %.1f s | -\n",
                    SecondsSince(start));
    }
    const char* which = "next start, from the model cache";
    const auto started = StartReporting(runFolder, which, reference.sessionSeconds);
    if (!started || !WarmUp(*started, runFolder, wavs.front(), which)) return 1;
    test::OrvelloProcess& orvello = *started;
    for (std::size_t i = 0; i < wavs.size(); ++i) {
        const double seconds = WavSeconds(wavs[i]);
        std::vector<double> results, captureEnds;
        for (int hold = 0; hold < kHoldsPerLength; ++hold) {
            const ReleaseTimes times = HoldAndRelease(orvello, wavs[i], seconds);
            if (times.result < 0) {
                std::fprintf(stderr, "Error: the hold of %s failed\n", wavs[i].c_str());
                return 1;
            }
            results.push_back(times.result);
            captureEnds.push_back(times.captureEnded);
        }
        const HoldReference& engine = reference.holds[i];
        std::printf(
            "figure: release -> result (Orvello.exe), median of %d | hold %.1f s | %.3f s "
            "(capture ended after %.3f s; slowest result %.3f s) | engine Transcribe of the same "
            "audio in the service's parts: all %.3f s (first run %.3f s), the last (%.1f s of "
            "audio) %.3f s\n",
            kHoldsPerLength, seconds + kTailSilence.count() / 1000.0, Median(results),
            Median(captureEnds), *std::max_element(results.begin(), results.end()),
            engine.allPartsSeconds, engine.firstAllPartsSeconds, engine.lastPartLength,
            engine.lastPartSeconds);
        std::fflush(stdout);
    }
    test::DeleteOrvelloSettings();
    return 0;
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s RUN_FOLDER WAV...\n", argv[0]);
        return 2;
    }
    try {
        return orvello::Run(argv[1], std::vector<std::string>(argv + 2, argv + argc));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        return 1;
    }
}
