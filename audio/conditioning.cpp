#include "audio/conditioning.h"

#include <algorithm>
#include <cmath>

namespace orvello {
namespace {

constexpr float kTwoPi = 6.2831855f;
constexpr float kSamplePeriodSeconds = 6.25e-5f;  // 1 / 16000
constexpr float kSampleRateHz = 16000.0f;
constexpr float kLowestCutoffHz = 1.0f;
constexpr float kShortestSmoothingSeconds = 0.001f;
constexpr float kSecondsPerMs = 0.001f;

// RC high-pass: alpha = RC / (RC + T) with RC = 1 / (2 pi fc).
float LowCutAlpha(float lowCutHz) {
    const float cutoffHz = std::max(lowCutHz, kLowestCutoffHz);
    const float rc = 1.0f / (cutoffHz * kTwoPi);
    return rc / (rc + kSamplePeriodSeconds);
}

// One-pole smoothing that covers about 63 % of a step within the given time.
float SmoothingCoefficient(float timeMs) {
    const float timeSeconds = std::max(timeMs * kSecondsPerMs, kShortestSmoothingSeconds);
    return std::exp(-1.0f / (timeSeconds * kSampleRateHz));
}

}  // namespace

ConditioningCoefficients ComputeConditioningCoefficients(const ConditioningSettings& settings) {
    return ConditioningCoefficients{
        .lowCutAlpha = LowCutAlpha(settings.lowCutHz),
        .attack = SmoothingCoefficient(settings.attackMs),
        .release = SmoothingCoefficient(settings.releaseMs),
    };
}

SignalConditioner::SignalConditioner(const ConditioningSettings& settings)
    : settings_(settings), coefficients_(ComputeConditioningCoefficients(settings)) {}

float SignalConditioner::Condition(float sample) {
    if (!settings_.enabled) return sample;
    const float filtered = FilterSample(sample);
    // No envelope: the gate decides on every sample's own magnitude, the gain smoothing does
    // the rest.
    SmoothGainTowards(GateTargetGain(std::fabs(filtered)));
    state_.previousInput = sample;
    return state_.gain * filtered;
}

float SignalConditioner::FilterSample(float sample) {
    state_.filterOutput =
        coefficients_.lowCutAlpha * ((state_.filterOutput + sample) - state_.previousInput);
    return state_.filterOutput;
}

// Hysteresis: an open gate closes only below the close level, a closed gate opens only above
// the open level. With both levels 0 nothing is ever below the close level.
float SignalConditioner::GateTargetGain(float magnitude) {
    if (state_.gateOpen) {
        if (settings_.gateCloseLevel > magnitude) state_.gateOpen = false;
    } else {
        if (magnitude > settings_.gateOpenLevel) state_.gateOpen = true;
    }
    return state_.gateOpen ? 1.0f : settings_.gateFloorGain;
}

void SignalConditioner::SmoothGainTowards(float targetGain) {
    const float coefficient =
        targetGain > state_.gain ? coefficients_.attack : coefficients_.release;
    state_.gain = (1.0f - coefficient) * targetGain + state_.gain * coefficient;
}

}  // namespace orvello
