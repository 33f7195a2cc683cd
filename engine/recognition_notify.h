#pragma once
// What the recognition service's files share: its status lines and how it calls a callback.
#include <utility>

namespace orvello::recognition {

inline const char* const kRecordingStatus = "[Recording...]";
inline const char* const kTranscribingStatus = "[Transcribing...]";
inline const char* const kReadyStatus = "[Ready]";
inline const char* const kNoSpeechStatus = "[no speech recognized]";
inline const char* const kNoAudioStatus = "[No audio captured]";
inline const char* const kCancelledStatus = "[Cancelled]";
inline const char* const kErrorPrefix = "Error: ";

// A callback that throws must not stop the service's own bookkeeping, so its exception ends here.
template <typename Callback, typename... Args>
void Notify(const Callback& callback, Args&&... args) noexcept {
    if (!callback) return;
    try {
        callback(std::forward<Args>(args)...);
    } catch (...) {
    }
}

}  // namespace orvello::recognition
