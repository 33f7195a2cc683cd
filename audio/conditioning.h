#pragma once

namespace orvello {

// Low-cut filter and noise gate parameters. The recognition service keeps one copy in its
// configuration; every capture works on its own copy, so a change applies to the next recording.
struct ConditioningSettings {
    bool enabled = true;            // both stages together; off passes samples unchanged
    float lowCutHz = 90.0f;         // below 1 Hz acts as 1 Hz
    float gateOpenLevel = 0.01f;    // linear amplitude, 1.0 = full scale
    float gateCloseLevel = 0.006f;  // linear amplitude
    float gateFloorGain = 0.2f;     // gain the closed gate sinks towards; never a full mute
    float attackMs = 2.0f;          // below 1 ms acts as 1 ms
    float releaseMs = 120.0f;       // below 1 ms acts as 1 ms
};

// Per-capture memory of the filter and the gate. A fresh state lets the first milliseconds of a
// recording through unattenuated.
struct ConditioningState {
    float previousInput = 0.0f;  // raw input of the previous sample, not its filtered value
    float filterOutput = 0.0f;
    bool gateOpen = true;
    float gain = 1.0f;
};

// Coefficients that depend only on the settings, computed once per capture.
struct ConditioningCoefficients {
    float lowCutAlpha = 0.0f;  // first-order high-pass: weight of (previous output + input step)
    float attack = 0.0f;       // per-sample smoothing of a rising gain
    float release = 0.0f;      // per-sample smoothing of a falling or steady gain
};

[[nodiscard]] ConditioningCoefficients ComputeConditioningCoefficients(
    const ConditioningSettings& settings);

// Conditions the samples of one capture (16 kHz, values in -1.0..1.0) one at a time, in order.
// All arithmetic is 32-bit float so that every build produces the same samples.
class SignalConditioner {
public:
    explicit SignalConditioner(const ConditioningSettings& settings);

    // The conditioned value of the next sample; the sample itself when conditioning is off, in
    // which case the state is left alone.
    [[nodiscard]] float Condition(float sample);

    [[nodiscard]] const ConditioningState& State() const { return state_; }
    [[nodiscard]] const ConditioningCoefficients& Coefficients() const { return coefficients_; }

private:
    [[nodiscard]] float FilterSample(float sample);
    [[nodiscard]] float GateTargetGain(float magnitude);
    void SmoothGainTowards(float targetGain);

    ConditioningSettings settings_;
    ConditioningCoefficients coefficients_;
    ConditioningState state_;
};

}  // namespace orvello
