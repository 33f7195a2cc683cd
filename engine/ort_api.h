#pragma once
// ONNX Runtime's function table, obtained once per process, and the check
// that turns every returned status into an EngineError.
#include <string>

#include "engine/ort_c_api.h"

namespace orvello {

// The API version the engine is written against (ONNX Runtime 1.24 and later).
constexpr uint32_t kOrtApiVersion = 24;

// The function table. The first call asks the runtime for it (safe when
// several threads call at once); later calls return the same table. Throws
// EngineError when the installed runtime does not offer kOrtApiVersion.
const OrtApi& Ort();

// The installed runtime's version, for example "1.30.0".
[[nodiscard]] std::string RuntimeVersion();

// Throws EngineError with the runtime's message and code when `status` is not
// null; releases the status either way.
void ThrowIfFailed(OrtStatus* status);

}  // namespace orvello
