// Where a recording's speech ends: a 100 ms window is quiet below the gate's close level (or the
// fixed level when the gate does not work), and a recording is kept up to the margin after its
// last window that is not quiet.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/speech_end.h"

namespace orvello {
namespace {

constexpr std::size_t kWindow = kSpeechWindowSamples;
constexpr SpeechEndRule kRule{.fixedQuietLevel = 0.003f, .marginSamples = 2'000};

ConditioningSettings Gate(bool enabled, float closeLevel) {
    return ConditioningSettings{.enabled = enabled, .gateCloseLevel = closeLevel};
}

// A square wave: its root mean square is its amplitude.
std::vector<float> Tone(std::size_t count, float amplitude) {
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) samples[i] = i % 2 == 0 ? amplitude : -amplitude;
    return samples;
}

TEST(SpeechEnd, AWindowIsQuietBelowTheGatesCloseLevelOrElseTheFixedLevel) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        ConditioningSettings conditioning;
        std::vector<float> window;
        bool quiet;
    };
    const Case cases[] = {
        {Gate(true, 0.006f), Tone(kWindow, 0.0059f), true},
        {Gate(true, 0.006f), Tone(kWindow, 0.0061f), false},
        {Gate(true, 0.0f), Tone(kWindow, 0.0029f), true},  // a gate that never closes
        {Gate(true, 0.0f), Tone(kWindow, 0.0031f), false},
        {Gate(false, 0.006f), Tone(kWindow, 0.004f), false},  // conditioning off
        {Gate(true, 0.006f), {}, true},
        {Gate(true, 0.006f), {0.0f, nan}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsQuietWindow(c.window, c.conditioning, kRule), c.quiet)
            << "level " << (c.window.empty() ? 0.0f : c.window[0]) << ", close level "
            << c.conditioning.gateCloseLevel << ", enabled " << c.conditioning.enabled;
    }
}

// Speech of `loudSamples`, then quiet; windows count from the first sample.
std::vector<float> SpeechThenQuiet(std::size_t loudSamples, std::size_t total) {
    std::vector<float> samples = Tone(total, 0.0005f);
    for (std::size_t i = 0; i < loudSamples; ++i) samples[i] = i % 2 == 0 ? 0.3f : -0.3f;
    return samples;
}

TEST(SpeechEnd, KeepsTheMarginAfterTheLastWindowThatIsNotQuiet) {
    struct Case {
        std::size_t loud, total, kept;
    };
    const Case cases[] = {
        {0, 0, 0},
        {0, 5 * kWindow, 0},                                     // nothing but quiet
        {kWindow, 10 * kWindow, kWindow + 2'000},                // speech, then a long pause
        {kWindow + 1, 10 * kWindow, 2 * kWindow + 2'000},        // one sample into the next window
        {kWindow, kWindow + 500, kWindow + 500},                 // released within the margin
        {3 * kWindow + 10, 3 * kWindow + 10, 3 * kWindow + 10},  // released mid-word
    };
    const ConditioningSettings conditioning = Gate(true, 0.003f);
    for (const Case& c : cases) {
        const std::vector<float> samples = SpeechThenQuiet(c.loud, c.total);
        EXPECT_EQ(SpeechEndSamples(samples, conditioning, kRule), c.kept)
            << c.loud << " loud of " << c.total;
        EXPECT_EQ(TrimAfterSpeech(samples, conditioning, kRule).size(), c.kept);
    }
}

// The text must not depend on when the user lets go: the same speech followed by any amount of
// quiet beyond the margin is kept to the same samples.
TEST(SpeechEnd, TheKeptAudioDoesNotDependOnTheQuietThatFollows) {
    const std::vector<float> shortest = TrimAfterSpeech(
        SpeechThenQuiet(4 * kWindow, 4 * kWindow + 2'000), Gate(true, 0.003f), kRule);
    for (std::size_t quiet = 2'000; quiet <= 20 * kWindow; quiet += 777) {
        EXPECT_EQ(TrimAfterSpeech(SpeechThenQuiet(4 * kWindow, 4 * kWindow + quiet),
                                  Gate(true, 0.003f), kRule),
                  shortest)
            << quiet;
    }
}

}  // namespace
}  // namespace orvello
