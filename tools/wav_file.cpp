#include "tools/wav_file.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace orvello {
namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatExtensible = 0xFFFE;

uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

struct Format {
    uint16_t tag = 0, channels = 0, bitsPerSample = 0;
    uint32_t sampleRate = 0;
};

std::string PathText(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

[[noreturn]] void Fail(const std::filesystem::path& path, const std::string& what) {
    throw WavFormatError(PathText(path) + ": " + what);
}

Format ParseFormat(const std::filesystem::path& path, const uint8_t* p, uint32_t size) {
    if (size < 16) Fail(path, "fmt chunk too short");
    Format f{Le16(p), Le16(p + 2), Le16(p + 14), Le32(p + 4)};
    // WAVE_FORMAT_EXTENSIBLE keeps the real format tag in its sub-format GUID.
    if (f.tag == kFormatExtensible && size >= 26) f.tag = Le16(p + 24);
    return f;
}

void CheckFormat(const std::filesystem::path& path, const Format& f) {
    if (f.tag != kFormatPcm)
        Fail(path,
             "not PCM (format tag " + std::to_string(f.tag) + "); need 16-bit PCM mono 16 kHz");
    if (f.channels != 1 || f.sampleRate != 16000 || f.bitsPerSample != 16)
        Fail(path, "found " + std::to_string(f.bitsPerSample) + "-bit, " +
                       std::to_string(f.channels) + " channel(s), " + std::to_string(f.sampleRate) +
                       " Hz; need 16-bit PCM mono 16 kHz");
}

}  // namespace

std::vector<int16_t> ReadWav16kMono(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) Fail(path, "cannot open the file");
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    return ParseWav16kMono(bytes, path);
}

std::vector<int16_t> ParseWav16kMono(std::string_view text, const std::filesystem::path& path) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const size_t length = text.size();
    if (length < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0)
        Fail(path, "not a WAV file (no RIFF/WAVE header)");

    Format format;
    bool haveFormat = false;
    for (size_t pos = 12; pos + 8 <= length;) {
        const uint8_t* chunk = bytes + pos;
        const uint32_t size = Le32(chunk + 4);
        const size_t available = std::min<size_t>(size, length - pos - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            format = ParseFormat(path, chunk + 8, uint32_t(available));
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) Fail(path, "data chunk before the fmt chunk");
            CheckFormat(path, format);
            std::vector<int16_t> samples(available / 2);
            for (size_t i = 0; i < samples.size(); ++i)
                samples[i] = int16_t(Le16(chunk + 8 + 2 * i));
            return samples;
        }
        // Chunks are padded to even sizes; summed in size_t, so that a chunk claiming nearly
        // 4 GiB ends the walk instead of wrapping round onto itself.
        pos += 8 + size_t(size) + (size & 1);
    }
    Fail(path, haveFormat ? "no data chunk" : "no fmt chunk");
}

void WriteWav16kMono(const std::filesystem::path& path, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> out;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF"), put32(36 + dataBytes), tag("WAVE");
    tag("fmt "), put32(16), put16(kFormatPcm), put16(1), put32(16000), put32(32000), put16(2),
        put16(16);
    tag("data"), put32(dataBytes);
    for (int16_t s : samples) put16(uint16_t(s));
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(out.data()), std::streamsize(out.size()));
    if (!file) Fail(path, "cannot write the file");
}

std::vector<float> ToFloatSamples(const std::vector<int16_t>& samples) {
    std::vector<float> floats(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) floats[i] = float(samples[i]) / 32768.0f;
    return floats;
}

}  // namespace orvello
