#pragma once
// Where the speech model lives and how its files are found and read.
#include <filesystem>
#include <string>
#include <vector>

namespace orvello {

namespace fs = std::filesystem;

// The directory of the running program file; the current directory when that
// cannot be had.
fs::path ExecutableDirectory();

// The first of the usual places beside the program that holds the int8
// encoder, int8 decoder-joint and preprocessor; `models` beside the program
// when none does.
fs::path DefaultModelDirectory();

// Whether `directory` holds the int8 encoder, int8 decoder-joint and preprocessor.
bool HoldsInt8Model(const fs::path& directory);

// The full path of the first candidate that exists in `directory`. Throws
// EngineError "Missing Parakeet file for <role>. Tried: <paths>" otherwise.
fs::path FindModelFile(const fs::path& directory, const std::string& roleName,
                       const std::vector<std::string>& candidateNames);

// The whole file as bytes. Throws EngineError "Failed to open file: <path>".
std::string ReadFileBytes(const fs::path& path);

// Any existing entry counts, a directory as well; a path the system reports
// as not found is missing; any other failure throws a filesystem_error
// naming "exists".
bool PathExists(const fs::path& path);

// A path as text for messages: the system's ANSI code page on Windows (what
// it cannot represent is replaced), UTF-8 elsewhere.
std::string PathForMessage(const fs::path& path);

}  // namespace orvello
