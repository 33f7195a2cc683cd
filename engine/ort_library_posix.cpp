#include "engine/ort_library.h"

namespace orvello {

const OrtApiBase& LoadOrtApiBase() {
    const OrtApiBase* base = OrtGetApiBase();
    if (!base) throw RuntimeUnavailableError("ONNX Runtime returned no API base.");
    return *base;
}

}  // namespace orvello
