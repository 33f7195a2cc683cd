// bench-engine: the time of session creation and where the time of Transcribe
// goes on a model of the real model's size, and how the decoding loop compares
// with a bare loop of the same decoder-joint Run calls.
//
//   bench-engine [--parakeet-references] [--model-cache DIR] [--load-only | --encoder-only]
//                MODEL_DIR [SECONDS ...]
//
// SECONDS are the audio lengths to transcribe (default 5 15 60). --model-cache loads through
// (and makes) a model cache in DIR; --load-only stops after the load; --encoder-only prints
// only the encoder's time. Each figure is
// one line "figure: what | audio length | measured | reference"; with
// --parakeet-references the reference is what the Parakeet-sized model took
// on the development machine (2 cores), else "-".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#endif

#include "engine/model_files.h"
#include "engine/ort_tensors.h"
#include "engine/parakeet_engine.h"
#include "engine/session_options.h"

namespace orvello {
namespace {

constexpr int kRepetitions = 3;

std::vector<float> Noise(double seconds) {
    std::mt19937 random(12345);
    std::normal_distribution<float> gauss(0.0f, 0.1f);
    std::vector<float> samples(size_t(seconds * 16000));
    for (float& s : samples) s = gauss(random);
    return samples;
}

// Seconds per Run of the decoder-joint alone: fixed inputs, nothing else.
double BareDecoderJointRun(const fs::path& model, const ParakeetEngine& engine, int64_t runs) {
    const OrtApi& api = Ort();
    const OrtEnvPtr env = CreateOrtEnvironment("bench");
    const OrtSessionOptionsPtr options =
        MakeSessionOptions("decoder_joint", SessionPreparation::Prepare);
    OrtSession* rawSession = nullptr;
    const fs::path file = FindModelFile(
        model, "decoder_joint", {"decoder_joint-model.int8.onnx", "decoder_joint-model.onnx"});
    ThrowIfFailed(api.CreateSession(env.get(), file.c_str(), options.get(), &rawSession));
    OrtSessionPtr session(rawSession);
    OrtMemoryInfo* rawMemory = nullptr;
    ThrowIfFailed(api.CreateCpuMemoryInfo(OrtArenaAllocator, OrtMemTypeDefault, &rawMemory));
    OrtMemoryInfoPtr memory(rawMemory);

    const int64_t L = engine.stateLayers(), H = engine.stateHidden(), D = 1024;
    std::vector<float> frame(size_t(D), 0.1f), state1(size_t(L * H)), state2(size_t(L * H));
    int32_t target = engine.blankId(), targetLength = 1;
    const OrtValuePtr inputs[] = {
        WrapTensor(memory.get(), frame.data(), frame.size(), {1, D, 1}),
        WrapTensor(memory.get(), &target, 1, {1, 1}),
        WrapTensor(memory.get(), &targetLength, 1, {1}),
        WrapTensor(memory.get(), state1.data(), state1.size(), {L, 1, H}),
        WrapTensor(memory.get(), state2.data(), state2.size(), {L, 1, H})};
    double inside = 0;
    for (int64_t i = 0; i < runs; ++i) {
        auto outputs = RunSession<5, 4>(
            session.get(),
            {"encoder_outputs", "targets", "target_length", "input_states_1", "input_states_2"},
            {inputs[0].get(), inputs[1].get(), inputs[2].get(), inputs[3].get(), inputs[4].get()},
            {"outputs", "prednet_lengths", "output_states_1", "output_states_2"}, inside);
    }
    return inside / double(runs);
}

// The median run; `cpuSeconds` gets the processor time of all threads per run, on average, which
// other programs on a busy machine change far less than the wall time.
TranscribeTimings MedianRun(ParakeetEngine& engine, const std::vector<float>& samples,
                            double& cpuSeconds, std::size_t& textBytes) {
    std::vector<TranscribeTimings> runs(kRepetitions);
    const std::clock_t cpuStart = std::clock();
    for (auto& timings : runs) textBytes = engine.Transcribe(samples, &timings).size();
    cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC / kRepetitions;
    auto total = [](const TranscribeTimings& t) {
        return t.preprocessorSeconds + t.encoderSeconds + t.decodingSeconds;
    };
    std::sort(runs.begin(), runs.end(),
              [&](const auto& a, const auto& b) { return total(a) < total(b); });
    return runs[kRepetitions / 2];
}

using Clock = std::chrono::steady_clock;

// Figures measured on the Parakeet-sized model with ONNX Runtime 1.30 on 2 cores.
const std::map<std::string, std::string> kParakeetReferences = {
    {"session creation", "6-9 s"},       {"resident after loading", "about 1.2 GiB"},
    {"encoder run 5 s", "0.23-0.35 s"},  {"encoder run 15 s", "0.68-0.86 s"},
    {"encoder run 60 s", "3.6-4.0 s"},   {"encoder run 180 s", "19-26 s"},
    {"Transcribe 5 s", "about 0.39 s"},  {"Transcribe 15 s", "about 0.95 s"},
    {"decoder-joint run", "1.7-2.4 ms"},
};
bool gParakeetReferences = false;

std::string Reference(const std::string& key) {
    if (!gParakeetReferences) return "-";
    const auto found = kParakeetReferences.find(key);
    return found == kParakeetReferences.end() ? "-" : found->second;
}

void PrintFigure(const std::string& what, const std::string& length, const std::string& measured,
                 const std::string& referenceKey) {
    std::printf("figure: %s | %s | %s | %s\n", what.c_str(), length.c_str(), measured.c_str(),
                Reference(referenceKey).c_str());
}

std::string Format(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// This process's memory in MiB, or negative numbers: all that is resident, and the private part,
// which no file backs (weights mapped from the model cache are file pages the system can drop and
// read again). Windows calls the private part the private bytes; Wine reports the anonymous
// resident pages of Linux there.
struct MemoryFigures {
    double residentMiB = -1;
    double privateMiB = -1;
};

#ifdef _WIN32
MemoryFigures Memory() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(),
                              reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), counters.cb))
        return {};
    return {double(counters.WorkingSetSize) / 1048576.0, double(counters.PrivateUsage) / 1048576.0};
}
#else
MemoryFigures Memory() {
    MemoryFigures figures;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            figures.residentMiB = std::atof(line.c_str() + 6) / 1024.0;
        if (line.rfind("RssAnon:", 0) == 0)
            figures.privateMiB = std::atof(line.c_str() + 8) / 1024.0;
    }
    return figures;
}
#endif

void PrintMemory(const std::string& when) {
    const MemoryFigures memory = Memory();
    if (memory.residentMiB >= 0)
        PrintFigure("resident " + when, "-", Format("%.0f MiB", memory.residentMiB),
                    "resident " + when);
    if (memory.privateMiB >= 0)
        PrintFigure("private " + when, "-", Format("%.0f MiB", memory.privateMiB), "-");
}

std::uintmax_t FolderBytes(const fs::path& folder) {
    std::uintmax_t bytes = 0;
    std::error_code error;
    for (const auto& item : fs::recursive_directory_iterator(folder, error))
        if (item.is_regular_file()) bytes += item.file_size();
    return bytes;
}

std::string CacheState(const ParakeetEngine& engine, const fs::path& cacheFolder) {
    if (cacheFolder.empty()) return "without the model cache";
    const auto& use = engine.modelCacheUse();
    if (use.networksLoaded == 3) return "from the model cache";
    if (engine.hasPendingModelCache()) return "first load, the model cache written after it";
    return "model cache: " + std::to_string(use.networksLoaded) + " loaded, " +
           std::to_string(use.networksSaved) + " saved";
}

void Report(const fs::path& model, ParakeetEngine& engine, double seconds) {
    double cpuSeconds = 0;
    std::size_t textBytes = 0;
    const TranscribeTimings t = MedianRun(engine, Noise(seconds), cpuSeconds, textBytes);
    const double total = t.preprocessorSeconds + t.encoderSeconds + t.decodingSeconds;
    const double overhead = total - t.insideRunSeconds;
    const double perRun = t.decodingSeconds / double(std::max<int64_t>(1, t.decoderJointRuns));
    const double bare =
        BareDecoderJointRun(model, engine, std::max<int64_t>(200, t.decoderJointRuns));
    std::printf(
        "%5.0f s audio | total %7.1f ms | preprocessor %6.1f ms | encoder %7.1f ms | "
        "decoding %7.1f ms | %5lld decoder-joint runs | engine overhead %5.2f %% | "
        "decoding %6.1f us/run vs bare Run %6.1f us/run (%+.1f %%)\n",
        seconds, total * 1e3, t.preprocessorSeconds * 1e3, t.encoderSeconds * 1e3,
        t.decodingSeconds * 1e3, (long long)t.decoderJointRuns, 100.0 * overhead / total,
        perRun * 1e6, bare * 1e6, 100.0 * (perRun / bare - 1.0));
    const std::string length = Format("audio %.0f s", seconds);
    const std::string suffix = Format(" %.0f s", seconds);
    PrintFigure("encoder run", length, Format("%.3f s", t.encoderSeconds), "encoder run" + suffix);
    PrintFigure("Transcribe", length, Format("%.3f s", total), "Transcribe" + suffix);
    PrintFigure("Transcribe processor time, all threads", length, Format("%.3f s", cpuSeconds),
                "-");
    PrintFigure("decoder-joint run", length, Format("%.2f ms", perRun * 1e3), "decoder-joint run");
    std::printf(
        "figure: decoding loop per step / bare decoder-joint Run | %s | %.2f | goal at most "
        "1.1\n",
        length.c_str(), perRun / bare);
    PrintFigure("decoder-joint runs per second of audio", length,
                Format("%.1f", double(t.decoderJointRuns) / seconds), "-");
    PrintFigure("text bytes of the transcript", length, Format("%.0f", double(textBytes)), "-");
}

// The engine's construction: runtime, configuration, vocabulary and the three sessions.
std::unique_ptr<ParakeetEngine> LoadReporting(const fs::path& model, const fs::path& cacheFolder) {
    const Clock::time_point start = Clock::now();
    auto engine =
        std::make_unique<ParakeetEngine>(model, cacheFolder, ModelCacheWriting::AfterLoad);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const std::string state = CacheState(*engine, cacheFolder);
    PrintFigure("session creation, " + state, "-", Format("%.2f s", seconds), "session creation");
    PrintMemory("after loading");
    if (engine->hasPendingModelCache()) {
        // As Orvello does it on a thread of its own while the engine is ready for dictation.
        const Clock::time_point writeStart = Clock::now();
        for (const std::string& note : engine->WritePendingModelCache())
            std::printf("%s\n", note.c_str());
        PrintFigure(
            "writing the model cache after the load, one thread", "-",
            Format("%.2f s", std::chrono::duration<double>(Clock::now() - writeStart).count()),
            "-");
    }
    if (!cacheFolder.empty())
        PrintFigure("model cache on disk", "-",
                    Format("%.0f MB", double(FolderBytes(cacheFolder)) / 1e6), "-");
    return engine;
}

// Only the encoder's median time per length, for comparisons across processes: two engines in
// one process slow each other down (the cached one by about 2 x in one run here), so the script
// alternates whole processes instead.
void ReportEncoderOnly(ParakeetEngine& engine, double seconds) {
    double cpuSeconds = 0;
    std::size_t textBytes = 0;
    const TranscribeTimings t = MedianRun(engine, Noise(seconds), cpuSeconds, textBytes);
    PrintFigure("encoder run", Format("audio %.0f s", seconds), Format("%.3f s", t.encoderSeconds),
                "-");
}

}  // namespace
}  // namespace orvello

// bench-engine [--parakeet-references] [--model-cache DIR] [--load-only | --encoder-only]
//              MODEL_DIR [SECONDS ...]
int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
    std::vector<std::string> words(argv + 1, argv + argc);
    orvello::fs::path cacheFolder;
    bool loadOnly = false, encoderOnly = false;
    while (!words.empty() && words.front().rfind("--", 0) == 0) {
        if (words.front() == "--parakeet-references") {
            orvello::gParakeetReferences = true;
        } else if (words.front() == "--load-only") {
            loadOnly = true;
        } else if (words.front() == "--encoder-only") {
            encoderOnly = true;
        } else if (words.front() == "--model-cache" && words.size() > 1) {
            words.erase(words.begin());
            cacheFolder = words.front();
        } else {
            break;
        }
        words.erase(words.begin());
    }
    if (words.empty() || words.front().rfind("--", 0) == 0) {
        std::fprintf(stderr,
                     "usage: bench-engine [--parakeet-references] [--model-cache DIR] "
                     "[--load-only | --encoder-only] MODEL_DIR [SECONDS ...]\n");
        return 2;
    }
    std::vector<double> lengths;
    for (size_t i = 1; i < words.size(); ++i) lengths.push_back(std::atof(words[i].c_str()));
    if (lengths.empty()) lengths = {5.0, 15.0, 60.0};
    try {
        const orvello::fs::path model = words.front();
        const auto loaded = orvello::LoadReporting(model, cacheFolder);
        if (loadOnly) return 0;
        orvello::ParakeetEngine& engine = *loaded;
        (void)engine.Transcribe(orvello::Noise(5.0));  // the first run grows the runtime's memory
        orvello::PrintMemory("after the first run");
        for (double seconds : lengths) {
            if (encoderOnly) {
                orvello::ReportEncoderOnly(engine, seconds);
            } else {
                orvello::Report(model, engine, seconds);
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        return 1;
    }
    return 0;
}
