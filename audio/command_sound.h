#pragma once
// The command sound: models\ping.wav in the running program's directory, played when a spoken
// phrase has matched a voice command.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orvello {

// The classic path limit the sound's path is built in: 260 UTF-16 units, terminator included.
inline constexpr std::size_t kCommandSoundPathUnits = 260;

// The sound file for the program at `programPath`: the path up to and including its last
// backslash, then "models\ping.wav". Nothing when the path has no backslash, or when the sound's
// path with its terminator does not fit in kCommandSoundPathUnits: a shortened path would name
// some other file, so the sound is skipped instead.
[[nodiscard]] std::optional<std::u16string> CommandSoundPath(std::u16string_view programPath);

}  // namespace orvello
