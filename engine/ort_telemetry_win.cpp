// The runtime's telemetry switch on Windows. Today's onnxruntime.dll logs its events through the
// system's event tracing, which DisableTelemetryEvents on each environment switches off; the
// environment switch is set too, in the process environment and in our C runtime's copy of it,
// for any runtime build that reads it.
#include <windows.h>

#include <stdlib.h>

#include "engine/ort_telemetry.h"

namespace orvello {

void SwitchOffRuntimeTelemetryInEnvironment() noexcept {
    SetEnvironmentVariableW(L"ORT_DISABLE_TELEMETRY", L"1");
    _wputenv_s(L"ORT_DISABLE_TELEMETRY", L"1");
}

}  // namespace orvello
