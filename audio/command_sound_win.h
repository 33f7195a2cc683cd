#pragma once
// Windows only: finding and playing the command sound.
#include <optional>
#include <string>

namespace orvello {

// models\ping.wav beside the running program; nothing when the program's path cannot be read
// whole into 260 characters or the sound's path would not fit in them.
[[nodiscard]] std::optional<std::wstring> CommandSoundFile();

// Starts the command sound and returns at once. A new sound replaces one still playing; a missing
// file plays nothing at all, not even the system's default sound, and reports nothing.
void PlayCommandSound() noexcept;

}  // namespace orvello
