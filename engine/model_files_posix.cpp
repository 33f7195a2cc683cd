// The program's directory and message paths outside Windows (the native
// build that runs the engine's tests and tools on Linux).
#include <unistd.h>

#include "engine/model_files.h"

namespace orvello {

fs::path ExecutableDirectory() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    if (!error && program.has_parent_path()) return program.parent_path();
    const fs::path current = fs::current_path(error);
    if (error) throw fs::filesystem_error("current_path()", error);
    return current;
}

std::string PathForMessage(const fs::path& path) {
    return path.string();
}

}  // namespace orvello
