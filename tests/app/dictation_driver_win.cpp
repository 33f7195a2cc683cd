#include "tests/app/dictation_driver_win.h"

#include <future>

#include "tests/app/recording_message_pump.h"
#include "tests/audio/virtual_microphone_win.h"
#include "tests/support/desktop.h"

namespace orvello::test {
namespace {

using namespace std::chrono_literals;

constexpr int kLogId = 1007;
// Time for Orvello to open the microphone after the trigger press.
constexpr auto kDeviceOpenTime = 500ms;
// Carries the end of the speech through the device's buffers before the trigger is released.
constexpr auto kTailSilence = 600ms;

}  // namespace

bool SpeakIntoRecording(const std::function<bool()>& start, const std::string& unixWavPath,
                        std::chrono::milliseconds feedTimeout) {
    const UINT microphone = WaveInDeviceNamed(L"OrvelloMic");
    if (microphone == UINT(-1)) return false;
    DrainMicrophone(microphone);
    if (!start()) return false;
    PumpMessagesFor(kDeviceOpenTime);
    std::future<int> feeding = FeedMicrophone(unixWavPath, kTailSilence, feedTimeout);
    (void)PumpMessagesUntil([&] { return feeding.wait_for(0s) == std::future_status::ready; },
                            feedTimeout + 5s);
    return feeding.get() == 0;
}

TypingTarget::TypingTarget() {
    window_.OnMessage([this](UINT message, WPARAM wParam, LPARAM) {
        if (message != WM_CHAR) return false;
        typed += wchar_t(wParam);
        return true;
    });
}

bool TypingTarget::Focus() {
    return ShowAndFocus(window_.hwnd());
}

std::size_t LogLinesWith(const OrvelloProcess& orvello,
                         std::initializer_list<const wchar_t*> markers) {
    const std::wstring log = orvello.ControlText(kLogId);
    std::size_t count = 0;
    for (const wchar_t* marker : markers) {
        for (std::size_t at = log.find(marker); at != std::wstring::npos;
             at = log.find(marker, at + 1)) {
            ++count;
        }
    }
    return count;
}

std::size_t ResultLines(const OrvelloProcess& orvello) {
    return LogLinesWith(orvello, {L"[Main trigger | Text: ", L"[no speech recognized]"});
}

}  // namespace orvello::test
