#pragma once
// How each of the model's networks is loaded into an ONNX Runtime session.
#include <string>

#include "engine/model_cache.h"
#include "engine/ort_handles.h"

namespace orvello {

enum class SessionPreparation {
    Prepare,   // from the model file: the runtime optimises the graph and prepacks the weights
    Prepared,  // from a model cache entry, which is already both
};

[[nodiscard]] OrtSessionOptionsPtr MakeSessionOptions(const std::string& role,
                                                      SessionPreparation preparation);

// Prepares the network from its model file and saves the prepared form into `entry`: the graph,
// and every weight of 1 KiB or more (prepacked ones included) in its external data file, which
// later loads map from disk.
[[nodiscard]] OrtSessionOptionsPtr MakeSavingSessionOptions(const std::string& role,
                                                            const ModelCacheEntryFiles& entry);

}  // namespace orvello
