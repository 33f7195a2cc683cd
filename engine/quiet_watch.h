#pragma once
// How long a recording has been quiet without a break, so that a hands-free recording nobody
// speaks into any more can end by itself. Quiet is judged as the end of speech is
// (speech_end.h): window by window of 100 ms of conditioned audio.
#include <array>
#include <cstddef>
#include <span>

#include "audio/conditioning.h"
#include "engine/speech_end.h"

namespace orvello {

class QuietWatch {
public:
    // Reports each time the quiet has lasted `limitSamples` without a window that is not quiet.
    QuietWatch(const ConditioningSettings& conditioning, std::size_t limitSamples)
        : conditioning_(conditioning), limitSamples_(limitSamples) {}

    // Takes the next conditioned samples of the recording, in any portions; true when the quiet
    // reached the limit within them. Allocates nothing.
    [[nodiscard]] bool Append(std::span<const float> samples);

private:
    [[nodiscard]] bool CloseWindow();

    ConditioningSettings conditioning_;
    std::size_t limitSamples_;
    std::array<float, kSpeechWindowSamples> window_{};
    std::size_t windowFill_ = 0;
    std::size_t quietSamples_ = 0;  // of the windows since the last one that was not quiet
};

}  // namespace orvello
