#include "engine/model_files.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "engine/engine_error.h"

namespace orvello {
namespace {

// A directory compiled into the program as the last place to look.
#ifdef ORVELLO_FIXED_MODEL_DIRECTORY
const fs::path kFixedModelDirectory = ORVELLO_FIXED_MODEL_DIRECTORY;
#elif defined(_WIN32)
const fs::path kFixedModelDirectory = L"C:\\Orvello\\models";
#else
const fs::path kFixedModelDirectory = "/opt/orvello/models";
#endif

const char* const kModelSubdirectory = "parakeet-tdt-0.6b-v3-onnx";

}  // namespace

bool HoldsInt8Model(const fs::path& directory) {
    for (const char* name :
         {"encoder-model.int8.onnx", "decoder_joint-model.int8.onnx", "nemo128.onnx"})
        if (!PathExists(directory / name)) return false;
    return true;
}

bool PathExists(const fs::path& path) {
    std::error_code error;
    const bool exists = fs::exists(path, error);
    if (error) throw fs::filesystem_error("exists", path, error);
    return exists;
}

fs::path DefaultModelDirectory() {
    const fs::path base = ExecutableDirectory();
    const fs::path candidates[] = {base / "models", base / "models" / kModelSubdirectory,
                                   base / kModelSubdirectory, kFixedModelDirectory};
    for (const fs::path& candidate : candidates)
        if (HoldsInt8Model(candidate)) return candidate;
    return candidates[0];
}

fs::path FindModelFile(const fs::path& directory, const std::string& roleName,
                       const std::vector<std::string>& candidateNames) {
    std::string tried;
    for (const std::string& name : candidateNames) {
        const fs::path path = directory / name;
        if (PathExists(path)) return path;
        tried += (tried.empty() ? "" : ", ") + PathForMessage(path);
    }
    throw EngineError("Missing Parakeet file for " + roleName + ". Tried: " + tried);
}

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw EngineError("Failed to open file: " + PathForMessage(path));
    return std::string(std::istreambuf_iterator<char>(file), {});
}

}  // namespace orvello
