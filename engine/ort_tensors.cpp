#include "engine/ort_tensors.h"

namespace orvello {

template <typename T>
TensorView<T> ViewTensor(OrtValue* value, const char* wrongTypeMessage) {
    const OrtApi& api = Ort();
    OrtTensorTypeAndShapeInfo* rawInfo = nullptr;
    ThrowIfFailed(api.GetTensorTypeAndShape(value, &rawInfo));
    const OrtTensorTypeAndShapeInfoPtr info(rawInfo);

    ONNXTensorElementDataType type{};
    size_t rank = 0;
    TensorView<T> view;
    ThrowIfFailed(api.GetTensorElementType(info.get(), &type));
    ThrowIfFailed(api.GetTensorShapeElementCount(info.get(), &view.count));
    ThrowIfFailed(api.GetDimensionsCount(info.get(), &rank));
    if (type != kElementType<T>) throw EngineError(wrongTypeMessage);
    view.dims.resize(rank);
    if (rank) ThrowIfFailed(api.GetDimensions(info.get(), view.dims.data(), rank));
    void* data = nullptr;
    ThrowIfFailed(api.GetTensorMutableData(value, &data));
    view.values = static_cast<const T*>(data);
    return view;
}

template <typename T>
TensorCopy<T> CopyTensor(OrtValue* value, const char* wrongTypeMessage) {
    TensorView<T> view = ViewTensor<T>(value, wrongTypeMessage);
    return {std::vector<T>(view.values, view.values + view.count), std::move(view.dims)};
}

template TensorView<float> ViewTensor<float>(OrtValue*, const char*);
template TensorCopy<float> CopyTensor<float>(OrtValue*, const char*);
template TensorCopy<int64_t> CopyTensor<int64_t>(OrtValue*, const char*);

}  // namespace orvello
