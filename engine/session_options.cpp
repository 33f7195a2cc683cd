#include "engine/session_options.h"

namespace orvello {
namespace {

// The decoder-joint is small and runs once per decoding step: waking a pool of threads for
// each run costs more than the run itself, so it runs on the calling thread.
int IntraOpThreads(const std::string& role) {
    return role == "decoder_joint" ? 1 : 0;  // 0: the runtime chooses
}

}  // namespace

OrtSessionOptionsPtr MakeSessionOptions(const std::string& role, SessionPreparation preparation) {
    const OrtApi& api = Ort();
    OrtSessionOptions* raw = nullptr;
    ThrowIfFailed(api.CreateSessionOptions(&raw));
    OrtSessionOptionsPtr options(raw);
    ThrowIfFailed(api.SetSessionGraphOptimizationLevel(
        options.get(),
        preparation == SessionPreparation::Prepare ? ORT_ENABLE_EXTENDED : ORT_DISABLE_ALL));
    ThrowIfFailed(api.SetIntraOpNumThreads(options.get(), IntraOpThreads(role)));
    return options;
}

OrtSessionOptionsPtr MakeSavingSessionOptions(const std::string& role,
                                              const ModelCacheEntryFiles& entry) {
    const OrtApi& api = Ort();
    OrtSessionOptionsPtr options = MakeSessionOptions(role, SessionPreparation::Prepare);
    ThrowIfFailed(api.SetOptimizedModelFilePath(options.get(), entry.graph().c_str()));
    const std::string dataName = entry.data().filename().string();
    const std::pair<const char*, const char*> entries[] = {
        {"session.optimized_model_external_initializers_file_name", dataName.c_str()},
        {"session.optimized_model_external_initializers_min_size_in_bytes", "1024"},
        {"session.save_external_prepacked_constant_initializers", "1"},
    };
    for (const auto& [key, value] : entries)
        ThrowIfFailed(api.AddSessionConfigEntry(options.get(), key, value));
    return options;
}

}  // namespace orvello
