#pragma once
// ONNX Runtime's own builds collect usage events: on Linux they queue them in the user's home
// folder for upload, on Windows they go to the system's event tracing, which forwards them when
// the user allows diagnostic data. Orvello promises that nothing leaves the machine, so every
// program of ours switches both off itself; the user never has to set anything.

namespace orvello {

// Sets the runtime's switch, ORT_DISABLE_TELEMETRY=1, in this process's environment, overriding
// any other value. Must run before the first call into the runtime: Ort() calls it.
void SwitchOffRuntimeTelemetryInEnvironment() noexcept;

}  // namespace orvello
