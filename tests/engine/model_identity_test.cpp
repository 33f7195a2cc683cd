// The model's name in the log, from what its files say.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/model_identity.h"

namespace orvello {
namespace {

TEST(ModelIdentity, TheVocabularyAndTheEncoderSizeNameTheModel) {
    constexpr std::uintmax_t kRealEncoder = 652'000'000;
    constexpr std::uintmax_t kDemoEncoder = 5'077'632;
    const struct {
        ModelFacts facts;
        std::string name;
    } cases[] = {
        {{8193, kRealEncoder, true, true}, "Parakeet TDT 0.6B v3 (int8)"},
        {{8193, kRealEncoder, false, false}, "Parakeet TDT 0.6B v3 (full precision)"},
        {{8193, kRealEncoder, true, false},
         "Parakeet TDT 0.6B v3 (int8 encoder, full-precision decoder-joint)"},
        {{8193, kRealEncoder, false, true},
         "Parakeet TDT 0.6B v3 (full-precision encoder, int8 decoder-joint)"},
        // The real vocabulary names the model whatever its encoder's size.
        {{8193, kDemoEncoder, true, true}, "Parakeet TDT 0.6B v3 (int8)"},
        {{443, kDemoEncoder, true, true}, "the English demo model"},
        {{1023, 49'999'999, false, false}, "the English demo model"},
        // Just beyond the demo's bounds, and Parakeet's English v2 vocabulary.
        {{1024, kDemoEncoder, true, true},
         "an unrecognised model with 1024 vocabulary entries (int8)"},
        {{443, 50'000'000, true, true}, "an unrecognised model with 443 vocabulary entries (int8)"},
        {{1025, kRealEncoder, false, false},
         "an unrecognised model with 1025 vocabulary entries (full precision)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DescribeModel(c.facts), c.name) << c.facts.vocabularyEntries << " entries";
    }
}

}  // namespace
}  // namespace orvello
