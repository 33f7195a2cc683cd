#include "audio/conditioning.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/audio/reference_conditioning.h"

namespace orvello {
namespace {

struct Trace {
    std::vector<float> output;
    std::vector<ConditioningState> states;  // after each sample
};

Trace RunConditioner(const ConditioningSettings& settings, const std::vector<float>& input) {
    SignalConditioner conditioner(settings);
    Trace trace;
    for (float x : input) {
        trace.output.push_back(conditioner.Condition(x));
        trace.states.push_back(conditioner.State());
    }
    return trace;
}

reference::GateParameters ReferenceParameters(const ConditioningSettings& s) {
    return {s.lowCutHz,      s.gateOpenLevel, s.gateCloseLevel,
            s.gateFloorGain, s.attackMs,      s.releaseMs};
}

// Expects the product to produce bit for bit the reference's samples, gate states and gains.
void ExpectMatchesReference(const ConditioningSettings& settings, const std::vector<float>& input) {
    const Trace trace = RunConditioner(settings, input);
    const reference::ConditionedSignal expected =
        reference::Condition(input, ReferenceParameters(settings));
    for (std::size_t i = 0; i < input.size(); ++i) {
        ASSERT_EQ(trace.output[i], expected.output[i]) << "sample " << i;
        ASSERT_EQ(trace.states[i].gateOpen, expected.gateOpen[i]) << "sample " << i;
        ASSERT_EQ(trace.states[i].gain, expected.gain[i]) << "sample " << i;
    }
}

// Speech-like test signal: a 220 Hz tone whose amplitude swells from silence to 0.5 and back,
// with a DC offset, so the gate crosses both levels many times.
std::vector<float> SwellingTone(std::size_t sampleCount) {
    std::vector<float> signal(sampleCount);
    for (std::size_t i = 0; i < sampleCount; ++i) {
        const double t = static_cast<double>(i) / 16000.0;
        const double envelope = 0.5 * std::pow(std::sin(3.14159265358979 * t / 0.5), 4.0);
        signal[i] = static_cast<float>(0.05 + envelope * std::sin(2 * 3.14159265358979 * 220 * t));
    }
    return signal;
}

float SampleValue(std::int16_t sample) {
    return static_cast<float>(sample) / 32768.0f;
}

// Values of the coefficients worked out by hand (5 significant digits).
TEST(ConditioningCoefficients, LowCutAlphaForTypicalAndLimitCutoffs) {
    auto alphaFor = [](float lowCutHz) {
        return ComputeConditioningCoefficients({.lowCutHz = lowCutHz}).lowCutAlpha;
    };
    EXPECT_NEAR(alphaFor(90.0f), 0.96586, 5e-6);
    EXPECT_NEAR(alphaFor(200.0f), 0.92718, 5e-6);
    EXPECT_NEAR(alphaFor(1.0f), 0.99961, 5e-6);
    // Cutoffs below 1 Hz act as 1 Hz.
    EXPECT_EQ(alphaFor(0.0f), alphaFor(1.0f));
    EXPECT_EQ(alphaFor(0.5f), alphaFor(1.0f));
    EXPECT_EQ(alphaFor(90.0f), reference::Alpha(90.0f));
}

TEST(ConditioningCoefficients, SmoothingForDefaultAndTooShortTimes) {
    const ConditioningCoefficients defaults = ComputeConditioningCoefficients({});
    EXPECT_NEAR(defaults.attack, 0.96923, 5e-6);
    EXPECT_NEAR(defaults.release, 0.99948, 5e-6);

    // Times below 1 ms act as 1 ms: e^(-1/16).
    const ConditioningCoefficients instant =
        ComputeConditioningCoefficients({.attackMs = 0.0f, .releaseMs = 0.25f});
    EXPECT_NEAR(instant.attack, 0.93941, 5e-6);
    EXPECT_NEAR(instant.release, 0.93941, 5e-6);
    EXPECT_EQ(instant.attack, ComputeConditioningCoefficients({.attackMs = 1.0f}).attack);
}

TEST(SignalConditioner, StartsWithFilterAtRestAndGateOpenAtFullGain) {
    const SignalConditioner conditioner(ConditioningSettings{});
    EXPECT_EQ(conditioner.State().previousInput, 0.0f);
    EXPECT_EQ(conditioner.State().filterOutput, 0.0f);
    EXPECT_TRUE(conditioner.State().gateOpen);
    EXPECT_EQ(conditioner.State().gain, 1.0f);
}

TEST(SignalConditioner, DisabledPassesSamplesUnchangedWhateverTheOtherFields) {
    const ConditioningSettings settings{.enabled = false,
                                        .lowCutHz = 200.0f,
                                        .gateOpenLevel = 0.9f,
                                        .gateCloseLevel = 0.8f,
                                        .gateFloorGain = 0.0f,
                                        .attackMs = 0.0f,
                                        .releaseMs = 0.0f};
    const std::vector<std::int16_t> samples{0, 1, -1, 32767, -32768, 1000, 1000, -5};
    SignalConditioner conditioner(settings);
    for (std::int16_t sample : samples) {
        EXPECT_EQ(conditioner.Condition(SampleValue(sample)), SampleValue(sample));
    }
    EXPECT_EQ(conditioner.State().previousInput, 0.0f);
    EXPECT_EQ(conditioner.State().filterOutput, 0.0f);
    EXPECT_TRUE(conditioner.State().gateOpen);
    EXPECT_EQ(conditioner.State().gain, 1.0f);
}

TEST(SignalConditioner, ConstantInputDecaysByAlphaThenGateClosesAndGainSinksToFloor) {
    const ConditioningSettings settings{};
    const std::vector<float> input(32'000, 0.25f);
    const Trace trace = RunConditioner(settings, input);
    const double alpha = 1.0 / (1.0 + 2.0 * 3.14159265358979 * 90.0 / 16000.0);  // RC / (RC + T)

    // While the gate is open the gain stays exactly 1 and the output is the filter output,
    // which falls by alpha per sample: 0.25 * alpha^n after n + 1 samples.
    EXPECT_EQ(trace.output[0], reference::Alpha(90.0f) * 0.25f);
    for (std::size_t n = 0; n < 100; ++n) {
        ASSERT_TRUE(trace.states[n].gateOpen) << n;
        ASSERT_EQ(trace.states[n].gain, 1.0f) << n;
        ASSERT_NEAR(trace.output[n], 0.25 * std::pow(alpha, n + 1), 1e-3 * trace.output[n]) << n;
    }
    // 0.25 * alpha^n first falls below the close level 0.006 at n = 108 (sample index 107).
    EXPECT_TRUE(trace.states[106].gateOpen);
    EXPECT_FALSE(trace.states[107].gateOpen);
    EXPECT_LT(trace.states[108].gain, 1.0f);
    EXPECT_FALSE(trace.states.back().gateOpen);
    EXPECT_NEAR(trace.states.back().gain, 0.2f, 1e-3);
    // In 32-bit float the step (y + x) - x is a multiple of the spacing near x, so the filter
    // settles a few such steps above 0 instead of reaching it: far below any gate level.
    EXPECT_LT(std::fabs(trace.output.back()), 1e-6f);
    ExpectMatchesReference(settings, input);
}

TEST(SignalConditioner, SilenceGivesZerosAndClosesTheGateAtTheFirstSample) {
    const ConditioningSettings settings{};
    const std::vector<float> silence(8'000, 0.0f);
    const Trace trace = RunConditioner(settings, silence);
    const double release = std::exp(-1.0 / (0.120 * 16000.0));

    for (std::size_t n = 0; n < silence.size(); ++n) {
        ASSERT_EQ(trace.output[n], 0.0f) << n;
        ASSERT_FALSE(trace.states[n].gateOpen) << n;
        // The gain falls from 1 towards 0.2 with the release coefficient: 0.2 + 0.8 aR^(n+1).
        ASSERT_NEAR(trace.states[n].gain, 0.2 + 0.8 * std::pow(release, n + 1), 5e-5) << n;
    }
    ExpectMatchesReference(settings, silence);
}

TEST(SignalConditioner, ZeroGateLevelsKeepTheGateOpenSoOnlyTheFilterActs) {
    const ConditioningSettings settings{.gateOpenLevel = 0.0f, .gateCloseLevel = 0.0f};
    std::vector<float> input = SwellingTone(16'000);
    input.insert(input.end(), 4'000, 0.0f);  // exact zeros are not below 0
    const Trace trace = RunConditioner(settings, input);
    const reference::ConditionedSignal expected =
        reference::Condition(input, ReferenceParameters(settings));

    for (std::size_t n = 0; n < input.size(); ++n) {
        ASSERT_TRUE(trace.states[n].gateOpen) << n;
        ASSERT_EQ(trace.states[n].gain, 1.0f) << n;
        ASSERT_EQ(trace.output[n], expected.filterOutput[n]) << n;
    }
}

TEST(SignalConditioner, LowCutZeroActsAsOneHertz) {
    const std::vector<float> input = SwellingTone(8'000);
    const Trace atZero = RunConditioner({.lowCutHz = 0.0f}, input);
    const Trace atOne = RunConditioner({.lowCutHz = 1.0f}, input);
    EXPECT_EQ(atZero.output, atOne.output);
    ExpectMatchesReference({.lowCutHz = 0.0f}, input);
}

TEST(SignalConditioner, SingleLoudSampleAfterSilenceOpensGateAndRaisesGainByAttackFraction) {
    for (const float attackMs : {2.0f, 0.0f}) {
        SCOPED_TRACE(attackMs);
        const ConditioningSettings settings{.attackMs = attackMs};
        std::vector<float> input(1'600, 0.0f);  // 100 ms of silence
        input.push_back(0.5f);
        const Trace trace = RunConditioner(settings, input);
        const ConditioningState& before = trace.states[1'599];
        const ConditioningState& after = trace.states.back();
        const double attack = std::exp(-1.0 / ((attackMs == 2.0f ? 0.002 : 0.001) * 16000.0));

        ASSERT_FALSE(before.gateOpen);
        EXPECT_TRUE(after.gateOpen);
        // The filter's first response to a step of 0.5 from rest is alpha * 0.5.
        EXPECT_EQ(after.filterOutput, reference::Alpha(90.0f) * 0.5f);
        EXPECT_NEAR(after.gain, before.gain + (1.0 - attack) * (1.0 - before.gain), 1e-6);
        EXPECT_GT(after.gain, before.gain);
        EXPECT_EQ(trace.output.back(), after.gain * after.filterOutput);
        ExpectMatchesReference(settings, input);
    }
}

// The gate changes state only across the far level: it closes below the close level, opens above
// the open level, and stays as it is for magnitudes between the two.
TEST(SignalConditioner, GateHysteresisBetweenCloseAndOpenLevels) {
    const ConditioningSettings settings{};
    const std::vector<float> input = SwellingTone(32'000);
    const Trace trace = RunConditioner(settings, input);
    int heldOpenBetween = 0;
    int heldClosedBetween = 0;
    bool wasOpen = true;
    for (std::size_t n = 0; n < input.size(); ++n) {
        const float magnitude = std::fabs(trace.states[n].filterOutput);
        const bool isOpen = trace.states[n].gateOpen;
        const bool between = magnitude >= 0.006f && magnitude <= 0.01f;
        if (wasOpen && !isOpen) {
            ASSERT_LT(magnitude, 0.006f) << n;
        } else if (!wasOpen && isOpen) {
            ASSERT_GT(magnitude, 0.01f) << n;
        } else if (isOpen) {
            ASSERT_GE(magnitude, 0.006f) << n;
        } else {
            ASSERT_LE(magnitude, 0.01f) << n;
        }
        heldOpenBetween += between && wasOpen && isOpen;
        heldClosedBetween += between && !wasOpen && !isOpen;
        wasOpen = isOpen;
    }
    EXPECT_GT(heldOpenBetween, 0);
    EXPECT_GT(heldClosedBetween, 0);
    ExpectMatchesReference(settings, input);
}

TEST(SignalConditioner, GainStaysBetweenFloorAndOneSoTheGateNeverMutes) {
    const ConditioningSettings settings{.gateOpenLevel = 0.05f, .gateCloseLevel = 0.03f};
    const Trace trace = RunConditioner(settings, SwellingTone(32'000));
    for (const ConditioningState& state : trace.states) {
        ASSERT_GE(state.gain, 0.2f - 1e-6f);
        ASSERT_LE(state.gain, 1.0f);
    }
}

TEST(SignalConditioner, MainWindowGateSettingsMatchReference) {
    // NoiseGate 10 and 100: open at x * 0.0005, close at 0.6 of that.
    for (const int noiseGate : {0, 10, 100}) {
        SCOPED_TRACE(noiseGate);
        const float openLevel = static_cast<float>(noiseGate) * 0.0005f;
        ExpectMatchesReference(
            {.lowCutHz = 150.0f, .gateOpenLevel = openLevel, .gateCloseLevel = openLevel * 0.6f},
            SwellingTone(16'000));
    }
}

}  // namespace
}  // namespace orvello
