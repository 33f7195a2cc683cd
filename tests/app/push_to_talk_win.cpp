#include "tests/app/push_to_talk_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <iterator>

#include "tests/app/recording_message_pump.h"
#include "tests/audio/virtual_microphone_win.h"
#include "tests/support/desktop.h"

namespace orvello::test {
namespace {

using namespace std::chrono_literals;

// Time for Orvello to open the microphone after the trigger press.
constexpr auto kDeviceOpenTime = 500ms;
// Carries the end of the speech through the device's buffers before the trigger is released.
constexpr auto kTailSilence = 600ms;

// The microphone drained, `start` starts the recording; returns once the speech is spoken.
template <typename Start>
void SpeakIntoRecording(const std::string& unixWavPath, Start start) {
    const UINT microphone = WaveInDeviceNamed(L"OrvelloMic");
    ASSERT_NE(microphone, UINT(-1)) << "the virtual microphone is missing";
    DrainMicrophone(microphone);
    start();
    PumpMessagesFor(kDeviceOpenTime);
    std::future<int> feeding = FeedMicrophone(unixWavPath, kTailSilence);
    EXPECT_TRUE(
        PumpMessagesUntil([&] { return feeding.wait_for(0s) == std::future_status::ready; }));
    EXPECT_EQ(feeding.get(), 0);
}

}  // namespace

void PushToTalk(std::initializer_list<int> keys, const std::string& unixWavPath, int keptDown) {
    SpeakIntoRecording(unixWavPath, [&] {
        for (const int key : keys) EXPECT_TRUE(KeyDown(key));
    });
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        if (*key != keptDown) EXPECT_TRUE(KeyUp(*key));
    }
}

void TapAndSpeak(int key, const std::string& unixWavPath) {
    SpeakIntoRecording(unixWavPath, [key] { EXPECT_TRUE(KeyTap(key)); });
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

}  // namespace orvello::test
