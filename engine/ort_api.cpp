#include "engine/ort_api.h"

#include <string>

#include "engine/engine_error.h"
#include "engine/ort_handles.h"
#include "engine/ort_library.h"
#include "engine/ort_telemetry.h"

namespace orvello {
namespace {

const OrtApi* RequestApi() {
    SwitchOffRuntimeTelemetryInEnvironment();
    const OrtApiBase* base = &LoadOrtApiBase();
    const OrtApi* api = base ? base->GetApi(kOrtApiVersion) : nullptr;
    if (!api) {
        const char* installed = base && base->GetVersionString ? base->GetVersionString() : "?";
        throw EngineError("ONNX Runtime " + std::string(installed) +
                          " does not offer API version " + std::to_string(kOrtApiVersion) +
                          "; ONNX Runtime 1.24 or later is needed.");
    }
    return api;
}

}  // namespace

const OrtApi& Ort() {
    // A function-local static is initialised once even under concurrent first
    // use; a throwing initialiser is retried by the next caller.
    static const OrtApi* const api = RequestApi();
    return *api;
}

std::string RuntimeVersion() {
    Ort();  // the library is loaded and offers our API version
    return LoadOrtApiBase().GetVersionString();
}

OrtEnvPtr CreateOrtEnvironment(const char* logId) {
    const OrtApi& api = Ort();
    OrtEnv* environment = nullptr;
    ThrowIfFailed(api.CreateEnv(ORT_LOGGING_LEVEL_WARNING, logId, &environment));
    OrtEnvPtr owned(environment);
    ThrowIfFailed(api.DisableTelemetryEvents(owned.get()));
    return owned;
}

void ThrowIfFailed(OrtStatus* status) {
    if (!status) return;
    const OrtApi& api = Ort();
    const std::string message = api.GetErrorMessage(status);
    const int code = int(api.GetErrorCode(status));
    api.ReleaseStatus(status);
    throw EngineError(message, code);
}

}  // namespace orvello
