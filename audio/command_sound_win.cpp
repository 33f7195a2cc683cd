#include "audio/command_sound_win.h"

// clang-format off
#include <windows.h>
#include <mmsystem.h>  // needs windows.h first
// clang-format on

#include <string_view>

#include "audio/command_sound.h"

namespace orvello {

std::optional<std::wstring> CommandSoundFile() {
    wchar_t programPath[kCommandSoundPathUnits] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, programPath, kCommandSoundPathUnits);
    // A result that fills the buffer is a cut-off path.
    if (length == 0 || length >= kCommandSoundPathUnits) return std::nullopt;
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    const std::optional<std::u16string> soundPath = CommandSoundPath(
        std::u16string_view(reinterpret_cast<const char16_t*>(programPath), length));
    if (!soundPath) return std::nullopt;
    return std::wstring(soundPath->begin(), soundPath->end());
}

void PlayCommandSound() noexcept {
    try {
        const std::optional<std::wstring> soundFile = CommandSoundFile();
        if (!soundFile) return;
        ::PlaySoundW(soundFile->c_str(), nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC);
    } catch (...) {
        // No sound: a matched command runs all the same.
    }
}

}  // namespace orvello
