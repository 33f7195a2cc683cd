#include "audio/wave_in_error_text.h"

#include <algorithm>
#include <array>

namespace orvello {

std::string WaveInErrorText(WaveInResult code, const WaveInErrorTextLookup& lookUp) {
    std::array<char, kWaveInErrorTextChars> text{};
    if (lookUp(code, text) != kWaveInOk) return "MMRESULT=" + std::to_string(code);
    // A text that fills the whole buffer without a terminator is taken as it stands.
    return std::string(text.begin(), std::find(text.begin(), text.end(), '\0'));
}

}  // namespace orvello
