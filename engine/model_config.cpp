#include "engine/model_config.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>

#include "engine/engine_error.h"

namespace orvello {
namespace {

// nlohmann's messages start with an id such as "[json.exception.type_error.306] ";
// the user sees the library's words without it.
std::string WithoutExceptionId(const std::string& message) {
    if (message.rfind("[json.exception.", 0) != 0) return message;
    const size_t end = message.find("] ");
    return end == std::string::npos ? message : message.substr(end + 2);
}

int32_t ToInt32(const nlohmann::json& value) {
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    if (value.is_number_integer() || value.is_number_float()) {
        // Truncate toward zero; clamping keeps a huge value from being undefined behaviour.
        const double number = std::trunc(value.get<double>());
        if (!(number >= std::numeric_limits<int32_t>::min()))
            return std::numeric_limits<int32_t>::min();
        if (number > std::numeric_limits<int32_t>::max())
            return std::numeric_limits<int32_t>::max();
        return int32_t(number);
    }
    return value.get<int32_t>();  // raises the library's type error
}

}  // namespace

int32_t ParseMaxTokensPerStep(std::string_view configBytes) {
    try {
        const nlohmann::json config = nlohmann::json::parse(configBytes);
        if (!config.is_object())
            return config.value("max_tokens_per_step", kDefaultMaxTokensPerStep);  // throws
        const auto entry = config.find("max_tokens_per_step");
        return entry == config.end() ? kDefaultMaxTokensPerStep : ToInt32(*entry);
    } catch (const nlohmann::json::exception& error) {
        throw EngineError(WithoutExceptionId(error.what()));
    }
}

}  // namespace orvello
