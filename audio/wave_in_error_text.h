#pragma once

#include <functional>
#include <span>
#include <string>

#include "audio/wave_in_device.h"

namespace orvello {

// Looks up the system's text for a result code the way waveInGetErrorTextA does: fills `text`
// with a NUL-terminated text and returns 0, or returns a non-zero code when it has none.
using WaveInErrorTextLookup = std::function<WaveInResult(WaveInResult code, std::span<char> text)>;

inline constexpr std::size_t kWaveInErrorTextChars = 256;

// The system's text for a wave-input result code, or "MMRESULT=" and the code in decimal when
// the system has no text for it.
[[nodiscard]] std::string WaveInErrorText(WaveInResult code, const WaveInErrorTextLookup& lookUp);

}  // namespace orvello
