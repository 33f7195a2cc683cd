// WAV files as orvello-transcribe reads them: any bytes either give samples that lie inside the
// file or raise WavFormatError.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/wav_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const auto samples = orvello::ParseWav16kMono(
            std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.wav");
        if (samples.size() * 2 > size) std::abort();
    } catch (const orvello::WavFormatError&) {
    }
    return 0;
}
