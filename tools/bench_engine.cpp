// bench-engine: where the time of Transcribe goes on a model of the real
// model's size, and how the decoding loop compares with a bare loop of the
// same decoder-joint Run calls.
//
//   bench-engine MODEL_DIR
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "engine/model_files.h"
#include "engine/ort_tensors.h"
#include "engine/parakeet_engine.h"

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
    OrtSessionOptions* rawOptions = nullptr;
    ThrowIfFailed(api.CreateSessionOptions(&rawOptions));
    OrtSessionOptionsPtr options(rawOptions);
    ThrowIfFailed(api.SetSessionGraphOptimizationLevel(options.get(), ORT_ENABLE_EXTENDED));
    OrtSession* rawSession = nullptr;
    const fs::path file = FindModelFile(model, "decoder_joint",
                                        {"decoder_joint-model.int8.onnx", "decoder_joint-model.onnx"});
    ThrowIfFailed(api.CreateSession(env.get(), file.c_str(), options.get(), &rawSession));
    OrtSessionPtr session(rawSession);
    OrtMemoryInfo* rawMemory = nullptr;
    ThrowIfFailed(api.CreateCpuMemoryInfo(OrtArenaAllocator, OrtMemTypeDefault, &rawMemory));
    OrtMemoryInfoPtr memory(rawMemory);

    const int64_t L = engine.stateLayers(), H = engine.stateHidden(), D = 1024;
    std::vector<float> frame(size_t(D), 0.1f), state1(size_t(L * H)), state2(size_t(L * H));
    int32_t target = engine.blankId(), targetLength = 1;
    const OrtValuePtr inputs[] = {WrapTensor(memory.get(), frame.data(), frame.size(), {1, D, 1}),
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

TranscribeTimings MedianRun(ParakeetEngine& engine, const std::vector<float>& samples) {
    std::vector<TranscribeTimings> runs(kRepetitions);
    for (auto& timings : runs) (void)engine.Transcribe(samples, &timings);
    auto total = [](const TranscribeTimings& t) {
        return t.preprocessorSeconds + t.encoderSeconds + t.decodingSeconds;
    };
    std::sort(runs.begin(), runs.end(),
              [&](const auto& a, const auto& b) { return total(a) < total(b); });
    return runs[kRepetitions / 2];
}

void Report(const fs::path& model, ParakeetEngine& engine, double seconds) {
    const TranscribeTimings t = MedianRun(engine, Noise(seconds));
    const double total = t.preprocessorSeconds + t.encoderSeconds + t.decodingSeconds;
    const double overhead = total - t.insideRunSeconds;
    const double perRun = t.decodingSeconds / double(std::max<int64_t>(1, t.decoderJointRuns));
    const double bare = BareDecoderJointRun(model, engine, std::max<int64_t>(200, t.decoderJointRuns));
    std::printf("%5.0f s audio | total %7.1f ms | preprocessor %6.1f ms | encoder %7.1f ms | "
                "decoding %7.1f ms | %5lld decoder-joint runs | engine overhead %5.2f %% | "
                "decoding %6.1f us/run vs bare Run %6.1f us/run (%+.1f %%)\n",
                seconds, total * 1e3, t.preprocessorSeconds * 1e3, t.encoderSeconds * 1e3,
                t.decodingSeconds * 1e3, (long long)t.decoderJointRuns, 100.0 * overhead / total,
                perRun * 1e6, bare * 1e6, 100.0 * (perRun / bare - 1.0));
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench-engine MODEL_DIR\n");
        return 2;
    }
    try {
        orvello::ParakeetEngine engine(argv[1]);
        (void)engine.Transcribe(orvello::Noise(1.0));  // warm up the sessions
        for (double seconds : {2.0, 5.0, 15.0}) orvello::Report(argv[1], engine, seconds);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        return 1;
    }
    return 0;
}
