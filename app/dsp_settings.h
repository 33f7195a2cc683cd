#pragma once

#include <cstdint>
#include <string>

#include "app/settings.h"
#include "audio/conditioning.h"

namespace orvello {

// The texts of the labels under the two DSP sliders: "Noise Gate: 10", "Low-Cut: 90 Hz".
[[nodiscard]] std::u16string NoiseGateLabel(std::int32_t noiseGate);
[[nodiscard]] std::u16string LowCutLabel(std::int32_t lowCutHz);

// Gate levels in linear amplitude for a Noise Gate slider position: it opens above
// position × 0.0005 and closes below 0.6 times that, so position 0 keeps the gate open.
[[nodiscard]] float GateOpenLevel(std::int32_t noiseGate);
[[nodiscard]] float GateCloseLevel(std::int32_t noiseGate);

// Puts the DSP switch, the low-cut frequency and the two gate levels into conditioning settings
// taken from the recognition service; the gate floor and the smoothing times stay as they are.
void ApplyDspSettingsTo(const Settings& settings, ConditioningSettings& conditioning);

}  // namespace orvello
