// Where the model cache lives outside Windows: the user's cache folder (XDG base directories).
#include <cstdlib>

#include "engine/model_cache.h"

namespace orvello {

fs::path DefaultModelCacheFolder() {
    const char* cacheHome = std::getenv("XDG_CACHE_HOME");
    if (cacheHome && fs::path(cacheHome).is_absolute()) return fs::path(cacheHome) / "orvello";
    const char* home = std::getenv("HOME");
    if (home && fs::path(home).is_absolute()) return fs::path(home) / ".cache" / "orvello";
    return {};
}

}  // namespace orvello
