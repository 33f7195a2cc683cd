// The runtime's telemetry switch outside Windows: the runtime reads it with getenv.
#include <stdlib.h>

#include "engine/ort_telemetry.h"

namespace orvello {

void SwitchOffRuntimeTelemetryInEnvironment() noexcept {
    setenv("ORT_DISABLE_TELEMETRY", "1", 1);
}

}  // namespace orvello
