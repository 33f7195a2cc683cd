// config.json: any bytes either give max_tokens_per_step or raise EngineError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/engine_error.h"
#include "engine/model_config.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        (void)orvello::ParseMaxTokensPerStep(
            std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const orvello::EngineError&) {
    }
    return 0;
}
