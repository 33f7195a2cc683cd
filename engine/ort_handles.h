#pragma once
// Move-only owners of ONNX Runtime handles: each releases its handle through
// the function table when it goes out of scope, so no error path leaks.
#include <memory>

#include "engine/ort_api.h"

namespace orvello {

#define ORVELLO_ORT_HANDLE(Kind)                                                  \
    struct Kind##Deleter {                                                        \
        void operator()(Ort##Kind* handle) const { Ort().Release##Kind(handle); } \
    };                                                                            \
    using Ort##Kind##Ptr = std::unique_ptr<Ort##Kind, Kind##Deleter>

ORVELLO_ORT_HANDLE(Env);
ORVELLO_ORT_HANDLE(MemoryInfo);
ORVELLO_ORT_HANDLE(SessionOptions);
ORVELLO_ORT_HANDLE(Session);
ORVELLO_ORT_HANDLE(Value);
ORVELLO_ORT_HANDLE(TypeInfo);
ORVELLO_ORT_HANDLE(TensorTypeAndShapeInfo);
ORVELLO_ORT_HANDLE(RunOptions);

#undef ORVELLO_ORT_HANDLE

// A runtime environment logging at warning level under `logId`, with the runtime's telemetry
// events switched off (see ort_telemetry.h). Every environment of ours is made here.
[[nodiscard]] OrtEnvPtr CreateOrtEnvironment(const char* logId);

}  // namespace orvello
