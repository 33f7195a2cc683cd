#pragma once
// Where ONNX Runtime's entry point comes from. The Windows build loads
// onnxruntime.dll from the program's folder on first use, so that a missing
// runtime costs only speech recognition and is reported in words; elsewhere
// the library is linked and the entry point taken directly.
#include "engine/engine_error.h"
#include "engine/ort_c_api.h"

namespace orvello {

// The runtime, or a file it needs, cannot be loaded: a fault of the installation
// rather than of the model, which the program tells the user about at once.
class RuntimeUnavailableError : public EngineError {
public:
    using EngineError::EngineError;
};

// The runtime's OrtApiBase (never null). Throws RuntimeUnavailableError naming
// the file that is missing and what to install when the runtime cannot be loaded.
const OrtApiBase& LoadOrtApiBase();

}  // namespace orvello
