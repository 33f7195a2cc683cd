#pragma once
// Windows only, under the Wine test environment: the virtual microphone "OrvelloMic" and the
// virtual speaker, seen from a test program. tools/feed-mic speaks a WAV file into the
// microphone at real-time pace; PulseAudio's null sink "orvello_speaker" plays what Windows
// programs play, and its monitor can be recorded.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <string>
#include <vector>

namespace orvello::test {

// The wave-input device whose name contains `part`, or UINT(-1) when there is none.
[[nodiscard]] UINT WaveInDeviceNamed(const std::wstring& part);

// Takes in whatever the microphone still holds: it keeps what is fed while nobody records (the
// rest of an earlier test's feed) and hands it to the next recording. Returns once the device
// has delivered nothing for a while.
void DrainMicrophone(UINT device);

// A file path in the build folder as Linux programs see it; "Z:" in front is Wine's view.
[[nodiscard]] std::string BuildFolderFile(const std::string& name);

// espeak-ng's speech of `text` as 16 kHz 16-bit mono, written to `unixPath`; its samples.
[[nodiscard]] std::vector<std::int16_t> SpeakToWav(const std::string& text,
                                                   const std::string& unixPath);

// Feeds a WAV file into the microphone, followed by `tailSilence`, on a thread of its own. The
// microphone delivers nothing until the feed starts, and a capture's last partly filled buffer
// is dropped, so the silence carries the end of the file through. get() waits for the end of
// the feed and gives the feeder's exit status (-1 when it had not ended within `timeout`).
[[nodiscard]] std::future<int> FeedMicrophone(
    const std::string& unixWavPath, std::chrono::milliseconds tailSilence,
    std::chrono::milliseconds timeout = std::chrono::seconds(60));

// Watches the virtual speaker, on a thread of its own, for a playback stream of the program
// `executableName` (Wine names streams after the program). It first waits until the program has
// no stream (Wine keeps one open for a moment after a sound, and opens one briefly when its audio
// driver starts), then creates `readyMarker`, which must not exist yet, and watches for
// `duration`. get() gives 0 once a
// stream was seen, non-zero when none appeared. The stream, not the speaker's samples, shows that
// the program played something: Wine's audio output may drop the start of a very short sound.
[[nodiscard]] std::future<int> WatchSpeakerFor(const std::string& executableName,
                                               const std::string& readyMarker,
                                               std::chrono::milliseconds duration);

// The microphone unplugged for as long as the scope lasts: PulseAudio no longer has it, while
// Windows programs that listed it before still have it in their lists.
class UnpluggedMicrophone {
public:
    UnpluggedMicrophone();
    ~UnpluggedMicrophone();
    UnpluggedMicrophone(const UnpluggedMicrophone&) = delete;
    UnpluggedMicrophone& operator=(const UnpluggedMicrophone&) = delete;
    [[nodiscard]] bool Unplugged() const { return unplugged_; }

private:
    bool unplugged_ = false;
};

// Waits until a file exists; false on time-out.
[[nodiscard]] bool WaitForFile(const std::string& unixPath, std::chrono::milliseconds timeout);

}  // namespace orvello::test
