#pragma once
// Tensors over engine-owned buffers, copies of output tensors, and Run calls.
#include <array>
#include <chrono>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "engine/engine_error.h"
#include "engine/ort_handles.h"

namespace orvello {

template <typename T>
inline constexpr ONNXTensorElementDataType kElementType = ONNX_TENSOR_ELEMENT_DATA_TYPE_UNDEFINED;
template <>
inline constexpr ONNXTensorElementDataType kElementType<float> =
    ONNX_TENSOR_ELEMENT_DATA_TYPE_FLOAT;
template <>
inline constexpr ONNXTensorElementDataType kElementType<int32_t> =
    ONNX_TENSOR_ELEMENT_DATA_TYPE_INT32;
template <>
inline constexpr ONNXTensorElementDataType kElementType<int64_t> =
    ONNX_TENSOR_ELEMENT_DATA_TYPE_INT64;

// A tensor that reads `count` values at `data` in place; the buffer must
// outlive the tensor.
template <typename T>
OrtValuePtr WrapTensor(const OrtMemoryInfo* memory, T* data, size_t count,
                       std::initializer_list<int64_t> shape) {
    OrtValue* value = nullptr;
    ThrowIfFailed(Ort().CreateTensorWithDataAsOrtValue(
        memory, data, count * sizeof(T), shape.begin(), shape.size(), kElementType<T>, &value));
    return OrtValuePtr(value);
}

// An output tensor's elements in place: valid while the tensor lives.
template <typename T>
struct TensorView {
    const T* values = nullptr;
    size_t count = 0;
    std::vector<int64_t> dims;
};

// Throws EngineError `wrongTypeMessage` when the tensor's elements are not of type T.
template <typename T>
TensorView<T> ViewTensor(OrtValue* value, const char* wrongTypeMessage);

template <typename T>
struct TensorCopy {
    std::vector<T> values;
    std::vector<int64_t> dims;
};

// Copies an output tensor's elements and dimensions. Throws EngineError
// `wrongTypeMessage` when its elements are not of type T, so that a model with
// unexpected outputs is reported instead of read out of bounds.
template <typename T>
TensorCopy<T> CopyTensor(OrtValue* value, const char* wrongTypeMessage);

// Runs a session on inputs in order and returns its outputs in order; adds the
// time spent inside the runtime to `insideRunSeconds`. `runOptions` may be
// null; a stop requested through them makes the run fail (transcription_stop.h).
template <size_t Inputs, size_t Outputs>
std::array<OrtValuePtr, Outputs> RunSession(OrtSession* session,
                                            const std::array<const char*, Inputs>& inputNames,
                                            const std::array<const OrtValue*, Inputs>& inputs,
                                            const std::array<const char*, Outputs>& outputNames,
                                            double& insideRunSeconds,
                                            const OrtRunOptions* runOptions = nullptr) {
    std::array<OrtValue*, Outputs> raw{};
    const auto start = std::chrono::steady_clock::now();
    OrtStatus* status = Ort().Run(session, runOptions, inputNames.data(), inputs.data(), Inputs,
                                  outputNames.data(), Outputs, raw.data());
    insideRunSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::array<OrtValuePtr, Outputs> outputs;
    for (size_t i = 0; i < Outputs; ++i) outputs[i].reset(raw[i]);
    ThrowIfFailed(status);
    return outputs;
}

}  // namespace orvello
