#pragma once
// What the processor can do, as far as ONNX Runtime's kernels care: the runtime picks its
// kernels and lays out prepacked weights by these features, so a prepared model is tied to them.
#include <string>

namespace orvello {

// The processor's vendor and its feature flags as hexadecimal text (the same text on every call
// on one machine); "unknown" where they cannot be read.
[[nodiscard]] std::string ProcessorFeatures();

}  // namespace orvello
