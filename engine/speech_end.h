#pragma once
// Where the speech of a recording ends. The text of a recording must not depend on how long the
// user waits before letting go of the trigger: the model drops or changes the last words when
// much quiet follows them. So every recording, and every 30 s part of one, is transcribed only up
// to a fixed margin after its last window that is not quiet; what follows is never transcribed.
#include <cstddef>
#include <span>
#include <vector>

#include "audio/conditioning.h"

namespace orvello {

inline constexpr std::size_t kSpeechWindowSamples = 1'600;  // 100 ms at 16 kHz

// The level and margin were chosen by scripts/measure-speech-end, which prints the word error
// rates behind them.
struct SpeechEndRule {
    float fixedQuietLevel = 0.003f;     // when the noise gate does not work
    std::size_t marginSamples = 4'800;  // kept after the last window that is not quiet
};

// The level below which a window of conditioned audio counts as quiet: the noise gate's close
// level while the gate works, otherwise a fixed level.
[[nodiscard]] float QuietLevel(const ConditioningSettings& conditioning,
                               const SpeechEndRule& rule = {});

// Whether a window of conditioned audio (normally 100 ms) is quiet: its root mean square is
// below QuietLevel. An empty window is quiet.
[[nodiscard]] bool IsQuietWindow(std::span<const float> window,
                                 const ConditioningSettings& conditioning,
                                 const SpeechEndRule& rule = {});

// How many samples of a recording (or part) are transcribed: up to the end of its last 100 ms
// window that is not quiet, plus the margin, but no more than there are. Windows are counted from
// the first sample. Zero when every window is quiet.
[[nodiscard]] std::size_t SpeechEndSamples(std::span<const float> samples,
                                           const ConditioningSettings& conditioning,
                                           const SpeechEndRule& rule = {});

// The samples that are transcribed: `samples` cut at SpeechEndSamples.
[[nodiscard]] std::vector<float> TrimAfterSpeech(std::vector<float> samples,
                                                 const ConditioningSettings& conditioning,
                                                 const SpeechEndRule& rule = {});

}  // namespace orvello
