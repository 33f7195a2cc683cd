#include "engine/speech_end.h"

#include <algorithm>

namespace orvello {

// The gate works when conditioning is on and its close level is above zero; a gate that never
// closes says nothing about what is quiet.
float QuietLevel(const ConditioningSettings& conditioning, const SpeechEndRule& rule) {
    const bool gateWorks = conditioning.enabled && conditioning.gateCloseLevel > 0.0f;
    return gateWorks ? conditioning.gateCloseLevel : rule.fixedQuietLevel;
}

// Compares mean squares, so no root is taken; a NaN sample makes the window not quiet.
bool IsQuietWindow(std::span<const float> window, const ConditioningSettings& conditioning,
                   const SpeechEndRule& rule) {
    if (window.empty()) return true;
    double sumOfSquares = 0.0;
    for (const float sample : window) sumOfSquares += double(sample) * double(sample);
    const double level = QuietLevel(conditioning, rule);
    return sumOfSquares / double(window.size()) < level * level;
}

// Searches backwards from the last window, so a recording that ends in speech costs one window.
std::size_t SpeechEndSamples(std::span<const float> samples,
                             const ConditioningSettings& conditioning, const SpeechEndRule& rule) {
    std::size_t windowBegin = samples.size() - samples.size() % kSpeechWindowSamples;
    if (windowBegin == samples.size() && windowBegin > 0) windowBegin -= kSpeechWindowSamples;
    for (;; windowBegin -= kSpeechWindowSamples) {
        const std::size_t windowEnd = std::min(windowBegin + kSpeechWindowSamples, samples.size());
        const auto window = samples.subspan(windowBegin, windowEnd - windowBegin);
        if (!IsQuietWindow(window, conditioning, rule)) {
            return std::min(windowEnd + rule.marginSamples, samples.size());
        }
        if (windowBegin == 0) return 0;
    }
}

std::vector<float> TrimAfterSpeech(std::vector<float> samples,
                                   const ConditioningSettings& conditioning,
                                   const SpeechEndRule& rule) {
    samples.resize(SpeechEndSamples(samples, conditioning, rule));
    return samples;
}

}  // namespace orvello
