// measure-speech-end MODEL_DIR LIST.tsv VARIANT...: the texts behind scripts/measure-speech-end.
//
// LIST.tsv holds one WAV path per line. Each file is conditioned as a recording with the main
// window's default settings (low cut 90 Hz, gate open 0.005, close 0.003), or left as it is, then
// cut by a variant of the speech-end rule and transcribed. A variant is "MODE:CONDITIONED:LEVEL:
// MARGIN_MS": MODE "none" (everything transcribed), "recorded" (the recorded quiet kept for the
// margin) or "appended" (digital silence of the margin's length in its place); CONDITIONED 1 or
// 0; LEVEL the quiet level. Prints "variant<TAB>file<TAB>text" per file and variant.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "audio/conditioning.h"
#include "engine/parakeet_engine.h"
#include "engine/speech_end.h"
#include "engine/transcription_chunks.h"
#include "tools/wav_file.h"

namespace orvello {
namespace {

struct Variant {
    std::string mode;
    bool conditioned = true;
    float level = 0.003f;
    std::size_t marginSamples = 0;
};

Variant ParseVariant(const std::string& text) {
    Variant variant;
    char mode[16] = {};
    int conditioned = 1;
    double marginMs = 0;
    if (std::sscanf(text.c_str(), "%15[a-z]:%d:%f:%lf", mode, &conditioned, &variant.level,
                    &marginMs) != 4)
        throw std::invalid_argument("bad variant: " + text);
    variant.mode = mode;
    variant.conditioned = conditioned != 0;
    variant.marginSamples = std::size_t(marginMs * 16.0);
    return variant;
}

std::vector<float> Conditioned(const std::vector<float>& samples) {
    SignalConditioner conditioner(
        ConditioningSettings{.gateOpenLevel = 0.005f, .gateCloseLevel = 0.003f});
    std::vector<float> result;
    result.reserve(samples.size());
    for (const float sample : samples) result.push_back(conditioner.Condition(sample));
    return result;
}

// The level is given as the fixed level of a rule on audio whose conditioning is off.
std::vector<float> Cut(std::vector<float> samples, const Variant& variant) {
    if (variant.mode == "none") return samples;
    const ConditioningSettings plain{.enabled = false};
    const SpeechEndRule rule{.fixedQuietLevel = variant.level,
                             .marginSamples = variant.marginSamples};
    if (variant.mode == "appended") return TrimAfterSpeech(std::move(samples), plain, rule);
    const std::size_t speechEnd = SpeechEndSamples(samples, plain, rule);
    samples.resize(speechEnd == 0 ? 0 : std::min(speechEnd + rule.marginSamples, samples.size()));
    return samples;
}

int Run(int argc, char** argv) {
    if (argc < 4) throw std::invalid_argument("usage: measure-speech-end MODEL LIST VARIANT...");
    ParakeetEngine engine(argv[1]);
    std::vector<std::string> files;
    std::ifstream list(argv[2]);
    for (std::string line; std::getline(list, line);) files.push_back(line);
    for (int v = 3; v < argc; ++v) {
        const Variant variant = ParseVariant(argv[v]);
        for (std::size_t f = 0; f < files.size(); ++f) {
            std::vector<float> samples = ToFloatSamples(ReadWav16kMono(files[f]));
            if (variant.conditioned) samples = Conditioned(samples);
            const std::vector<float> cut = Cut(std::move(samples), variant);
            const std::string text = cut.empty() ? std::string() : engine.Transcribe(cut);
            std::printf("%d\t%zu\t%s\n", v - 3, f, text.c_str());
        }
        std::fflush(stdout);
    }
    return 0;
}

}  // namespace
}  // namespace orvello

int main(int argc, char** argv) {
    try {
        return orvello::Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Error: %s\n", error.what());
        return 1;
    }
}
