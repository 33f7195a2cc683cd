#pragma once
// The model's config.json: only max_tokens_per_step is read.
#include <cstdint>
#include <string_view>

namespace orvello {

constexpr int32_t kDefaultMaxTokensPerStep = 10;
// The engine uses no larger value: each token at one frame costs a decoder-joint run, so a
// damaged model that never moves on would otherwise keep decoding one recording for hours.
constexpr int32_t kLargestMaxTokensPerStep = 100;

// max_tokens_per_step from the bytes of config.json; 10 when the key is
// absent. Numbers are truncated to 32 bits (out-of-range values are clamped),
// booleans count as 0 and 1. Throws EngineError with the JSON library's own
// message for invalid JSON, a top level that is not an object, or a value of
// another type.
int32_t ParseMaxTokensPerStep(std::string_view configBytes);

}  // namespace orvello
