#pragma once
// Reads and writes the one WAV format Orvello's tools work with: 16-bit PCM,
// mono, 16 kHz.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace orvello {

class WavFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The file's samples. Throws WavFormatError naming the file and what was found
// when it is not a 16-bit PCM mono 16 kHz WAV file or cannot be read.
std::vector<int16_t> ReadWav16kMono(const std::filesystem::path& path);

// The samples of a WAV file's bytes; `path` only names the file in the error.
std::vector<int16_t> ParseWav16kMono(std::string_view bytes, const std::filesystem::path& path);

// Throws WavFormatError when the file cannot be written.
void WriteWav16kMono(const std::filesystem::path& path, const std::vector<int16_t>& samples);

// Samples scaled to floats as s / 32768.
std::vector<float> ToFloatSamples(const std::vector<int16_t>& samples);

}  // namespace orvello
