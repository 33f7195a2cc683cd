#include "tests/app/push_to_talk_win.h"

#include <gtest/gtest.h>

#include <iterator>

#include "tests/support/desktop.h"

namespace orvello::test {

void PushToTalk(std::initializer_list<int> keys, const std::string& unixWavPath, int keptDown) {
    EXPECT_TRUE(SpeakIntoRecording(
        [&] {
            bool pressed = true;
            for (const int key : keys) pressed = KeyDown(key) && pressed;
            return pressed;
        },
        unixWavPath))
        << "the keys were not pressed or the speech did not go into the microphone";
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        if (*key != keptDown) {
            EXPECT_TRUE(KeyUp(*key));
        }
    }
}

void TapAndSpeak(int key, const std::string& unixWavPath) {
    EXPECT_TRUE(SpeakIntoRecording([key] { return KeyTap(key); }, unixWavPath))
        << "the key was not tapped or the speech did not go into the microphone";
}

}  // namespace orvello::test
