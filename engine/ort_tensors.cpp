#include "engine/ort_tensors.h"

namespace orvello {

template <typename T>
TensorCopy<T> CopyTensor(OrtValue* value, const char* wrongTypeMessage) {
    const OrtApi& api = Ort();
    OrtTensorTypeAndShapeInfo* rawInfo = nullptr;
    ThrowIfFailed(api.GetTensorTypeAndShape(value, &rawInfo));
    const OrtTensorTypeAndShapeInfoPtr info(rawInfo);

    ONNXTensorElementDataType type{};
    size_t count = 0, rank = 0;
    ThrowIfFailed(api.GetTensorElementType(info.get(), &type));
    ThrowIfFailed(api.GetTensorShapeElementCount(info.get(), &count));
    ThrowIfFailed(api.GetDimensionsCount(info.get(), &rank));
    if (type != kElementType<T>) throw EngineError(wrongTypeMessage);

    TensorCopy<T> copy;
    copy.dims.resize(rank);
    if (rank) ThrowIfFailed(api.GetDimensions(info.get(), copy.dims.data(), rank));
    void* data = nullptr;
    ThrowIfFailed(api.GetTensorMutableData(value, &data));
    const T* first = static_cast<const T*>(data);
    copy.values.assign(first, first + count);
    return copy;
}

template TensorCopy<float> CopyTensor<float>(OrtValue*, const char*);
template TensorCopy<int64_t> CopyTensor<int64_t>(OrtValue*, const char*);

}  // namespace orvello
