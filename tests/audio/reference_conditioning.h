#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace orvello::reference {

// Expected values for the conditioning tests: a plain, single-function transcription of the
// low-cut and gate formulas in 32-bit float, kept apart from the product's code.
struct GateParameters {
    float lowCutHz = 90.0f;
    float openLevel = 0.01f;
    float closeLevel = 0.006f;
    float floorGain = 0.2f;
    float attackMs = 2.0f;
    float releaseMs = 120.0f;
};

struct ConditionedSignal {
    std::vector<float> output;
    std::vector<float> filterOutput;
    std::vector<bool> gateOpen;  // after each sample
    std::vector<float> gain;     // after each sample
};

inline float Alpha(float lowCutHz) {
    float fc = lowCutHz < 1.0f ? 1.0f : lowCutHz;
    float rc = 1.0f / (fc * 6.2831855f);
    return rc / (rc + 6.25e-5f);
}

inline float Smoothing(float ms) {
    float seconds = ms * 0.001f;
    if (seconds < 0.001f) seconds = 0.001f;
    return std::exp(-1.0f / (seconds * 16000.0f));
}

inline ConditionedSignal Condition(const std::vector<float>& input, const GateParameters& p) {
    const float alpha = Alpha(p.lowCutHz);
    const float attack = Smoothing(p.attackMs);
    const float release = Smoothing(p.releaseMs);
    ConditionedSignal signal;
    float previousX = 0.0f, y = 0.0f, gain = 1.0f;
    bool open = true;
    for (float x : input) {
        y = alpha * ((y + x) - previousX);
        float e = std::fabs(y);
        float target;
        if (open) {
            open = !(p.closeLevel > e);
        } else {
            open = e > p.openLevel;
        }
        target = open ? 1.0f : p.floorGain;
        if (target > gain) {
            gain = (1.0f - attack) * target + gain * attack;
        } else {
            gain = (1.0f - release) * target + gain * release;
        }
        previousX = x;
        signal.output.push_back(gain * y);
        signal.filterOutput.push_back(y);
        signal.gateOpen.push_back(open);
        signal.gain.push_back(gain);
    }
    return signal;
}

}  // namespace orvello::reference
