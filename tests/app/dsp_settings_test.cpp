#include "app/dsp_settings.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

TEST(DspLabels, ShowTheCurrentValues) {
    EXPECT_EQ(NoiseGateLabel(10), u"Noise Gate: 10");
    EXPECT_EQ(NoiseGateLabel(0), u"Noise Gate: 0");
    EXPECT_EQ(NoiseGateLabel(100), u"Noise Gate: 100");
    EXPECT_EQ(LowCutLabel(90), u"Low-Cut: 90 Hz");
    EXPECT_EQ(LowCutLabel(0), u"Low-Cut: 0 Hz");
    EXPECT_EQ(LowCutLabel(200), u"Low-Cut: 200 Hz");
}

TEST(DspConditioning, SliderPositionsBecomeGateLevelsAndCornerFrequency) {
    struct Case {
        std::int32_t noiseGate, lowCutHz;
        float open, close;
    };
    const Case cases[] = {{10, 90, 0.005f, 0.003f}, {100, 200, 0.05f, 0.03f}, {0, 0, 0.0f, 0.0f}};
    for (const Case& c : cases) {
        Settings settings;
        settings.noiseGate = c.noiseGate;
        settings.lowCutHz = c.lowCutHz;
        ConditioningSettings conditioning;
        ApplyDspSettingsTo(settings, conditioning);
        EXPECT_FLOAT_EQ(conditioning.gateOpenLevel, c.open) << c.noiseGate;
        EXPECT_FLOAT_EQ(conditioning.gateCloseLevel, c.close) << c.noiseGate;
        EXPECT_EQ(conditioning.lowCutHz, static_cast<float>(c.lowCutHz));
        EXPECT_TRUE(conditioning.enabled);
    }
}

TEST(DspConditioning, LeavesTheOtherFieldsAlone) {
    ConditioningSettings conditioning{.enabled = true,
                                      .lowCutHz = 5.0f,
                                      .gateOpenLevel = 0.5f,
                                      .gateCloseLevel = 0.25f,
                                      .gateFloorGain = 0.7f,
                                      .attackMs = 3.0f,
                                      .releaseMs = 40.0f};
    Settings settings;
    settings.dspEnabled = false;
    ApplyDspSettingsTo(settings, conditioning);
    EXPECT_FALSE(conditioning.enabled);
    EXPECT_EQ(conditioning.lowCutHz, 90.0f);
    EXPECT_EQ(conditioning.gateFloorGain, 0.7f);
    EXPECT_EQ(conditioning.attackMs, 3.0f);
    EXPECT_EQ(conditioning.releaseMs, 40.0f);
}

}  // namespace
}  // namespace orvello
