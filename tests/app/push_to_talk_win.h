#pragma once
// Windows only, under the Wine test environment: push-to-talk as a user does it to a running
// Orvello — trigger keys held on the virtual keyboard while speech goes into the virtual
// microphone — with failures reported through gtest; and a window of another program that the
// text is typed into.
#include <windows.h>

#include <initializer_list>
#include <string>

#include "tests/app/dictation_driver_win.h"

namespace orvello::test {

// Holds the trigger keys (pressed in this order), speaks the WAV file into the microphone and
// releases them in reverse order, all but `keptDown` (none when 0), which the test releases
// itself. Reports failures through gtest.
void PushToTalk(std::initializer_list<int> keys, const std::string& unixWavPath, int keptDown = 0);

// Taps the key (a hands-free start), speaks the WAV file into the microphone once Orvello has had
// time to open it, and returns when it has been spoken, followed by some quiet.
void TapAndSpeak(int key, const std::string& unixWavPath);

}  // namespace orvello::test
