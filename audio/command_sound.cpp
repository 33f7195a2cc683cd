#include "audio/command_sound.h"

namespace orvello {
namespace {

constexpr std::u16string_view kSoundInProgramDirectory = u"models\\ping.wav";

}  // namespace

std::optional<std::u16string> CommandSoundPath(std::u16string_view programPath) {
    const std::size_t lastBackslash = programPath.rfind(u'\\');
    if (lastBackslash == std::u16string_view::npos) return std::nullopt;
    std::u16string soundPath(programPath.substr(0, lastBackslash + 1));
    soundPath += kSoundInProgramDirectory;
    if (soundPath.size() + 1 > kCommandSoundPathUnits) return std::nullopt;
    return soundPath;
}

}  // namespace orvello
