#include "tests/audio/virtual_microphone_win.h"

#include <mmsystem.h>

#include <atomic>
#include <thread>

#include "audio/audio_capture.h"
#include "audio/wave_in_device_win.h"
#include "tests/support/unix_command.h"
#include "tools/wav_file.h"

namespace orvello::test {
namespace {

using Clock = std::chrono::steady_clock;

// Long enough for any feed or recording of these tests.
constexpr auto kUnixCommandTimeout = std::chrono::seconds(60);
// A microphone that delivers nothing for this long holds nothing more.
constexpr auto kQuietAfterDraining = std::chrono::milliseconds(400);
constexpr auto kLongestDrain = std::chrono::seconds(10);

std::future<int> RunInBackground(std::string shellCommand,
                                 std::chrono::milliseconds timeout = kUnixCommandTimeout) {
    return std::async(std::launch::async, [command = std::move(shellCommand), timeout] {
        return RunUnixCommand(command, timeout);
    });
}

}  // namespace

UINT WaveInDeviceNamed(const std::wstring& part) {
    for (UINT id = 0; id < ::waveInGetNumDevs(); ++id) {
        WAVEINCAPSW caps{};
        if (::waveInGetDevCapsW(id, &caps, sizeof caps) == MMSYSERR_NOERROR &&
            std::wstring(caps.szPname).find(part) != std::wstring::npos) {
            return id;
        }
    }
    return UINT(-1);
}

void DrainMicrophone(UINT device) {
    WinWaveInDevice waveIn;
    AudioCapture capture(waveIn);
    CaptureStopFlag stop;
    std::atomic<Clock::rep> lastBufferAt = Clock::now().time_since_epoch().count();
    std::thread drain([&] {
        try {
            (void)capture.Run(device, ConditioningSettings{.enabled = false}, stop, [&](float) {
                lastBufferAt = Clock::now().time_since_epoch().count();
            });
        } catch (...) {
            // A microphone that cannot be opened holds nothing to drain.
        }
    });
    const Clock::time_point started = Clock::now();
    while (Clock::now() - Clock::time_point(Clock::duration(lastBufferAt.load())) <
               kQuietAfterDraining &&
           Clock::now() - started < kLongestDrain) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    stop.Set();
    drain.join();
}

std::string BuildFolderFile(const std::string& name) {
    return std::string(ORVELLO_BINARY_DIR) + "/" + name;
}

std::vector<std::int16_t> SpeakToWav(const std::string& text, const std::string& unixPath) {
    const std::string spoken = unixPath + ".espeak.wav";
    const int status =
        RunUnixCommand("espeak-ng -w " + ShellQuote(spoken) + " " + ShellQuote(text) + " && sox " +
                       ShellQuote(spoken) + " -r 16000 -c 1 -b 16 " + ShellQuote(unixPath));
    if (status != 0) return {};
    return ReadWav16kMono("Z:" + unixPath);
}

std::future<int> FeedMicrophone(const std::string& unixWavPath,
                                std::chrono::milliseconds tailSilence,
                                std::chrono::milliseconds timeout) {
    return RunInBackground(std::string(ORVELLO_SOURCE_DIR) + "/tools/feed-mic " +
                               ShellQuote(unixWavPath) + " --tail-silence-ms " +
                               std::to_string(tailSilence.count()),
                           timeout);
}

std::future<int> WatchSpeakerFor(const std::string& executableName, const std::string& readyMarker,
                                 std::chrono::milliseconds duration) {
    const std::string hasStream = "pactl list sink-inputs | grep -qF " +
                                  ShellQuote("application.name = \"" + executableName + "\"");
    const std::string polls = std::to_string(duration.count() / 20);
    return RunInBackground("for i in $(seq 250); do " + hasStream +
                           " || break; sleep 0.02; done; touch " + ShellQuote(readyMarker) +
                           "; for i in $(seq " + polls + "); do " + hasStream +
                           " && exit 0; sleep 0.02; done; exit 1");
}

UnpluggedMicrophone::UnpluggedMicrophone()
    : unplugged_(RunUnixCommand("pactl unload-module module-pipe-source") == 0) {}

UnpluggedMicrophone::~UnpluggedMicrophone() {
    if (!unplugged_) return;
    (void)RunUnixCommand(
        "pactl load-module $ORVELLO_MIC_MODULE && pactl set-default-source orvello_mic");
}

bool WaitForFile(const std::string& unixPath, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    const std::wstring windowsPath = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
    while (::GetFileAttributesW(windowsPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace orvello::test
