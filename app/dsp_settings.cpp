#include "app/dsp_settings.h"

namespace orvello {

namespace {

constexpr float kGateLevelPerStep = 0.0005f;
constexpr float kGateCloseFraction = 0.6f;

std::u16string DecimalText(std::int32_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::u16string NoiseGateLabel(std::int32_t noiseGate) {
    return u"Noise Gate: " + DecimalText(noiseGate);
}

std::u16string LowCutLabel(std::int32_t lowCutHz) {
    return u"Low-Cut: " + DecimalText(lowCutHz) + u" Hz";
}

float GateOpenLevel(std::int32_t noiseGate) {
    return static_cast<float>(noiseGate) * kGateLevelPerStep;
}

float GateCloseLevel(std::int32_t noiseGate) {
    return GateOpenLevel(noiseGate) * kGateCloseFraction;
}

void ApplyDspSettingsTo(const Settings& settings, ConditioningSettings& conditioning) {
    conditioning.enabled = settings.dspEnabled;
    conditioning.lowCutHz = static_cast<float>(settings.lowCutHz);
    conditioning.gateOpenLevel = GateOpenLevel(settings.noiseGate);
    conditioning.gateCloseLevel = GateCloseLevel(settings.noiseGate);
}

}  // namespace orvello
