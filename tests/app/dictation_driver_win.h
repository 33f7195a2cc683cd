#pragma once
// Windows only, under the Wine test environment, without gtest (the benchmark and soak programs
// drive Orvello too): push-to-talk to a running Orvello the way a user does it, a window of the
// driving program that text is typed into, and the result lines of Orvello's log.
#include <windows.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <initializer_list>
#include <string>

#include "tests/app/orvello_process_win.h"
#include "tests/support/test_window.h"

namespace orvello::test {

// Drains the virtual microphone, runs `start` (the trigger pressed or tapped), gives Orvello time
// to open the device and speaks the WAV file into it, followed by some quiet. False when the
// microphone is missing, `start` failed or the feed did not end well within `feedTimeout`.
[[nodiscard]] bool SpeakIntoRecording(
    const std::function<bool()>& start, const std::string& unixWavPath,
    std::chrono::milliseconds feedTimeout = std::chrono::seconds(60));

// A window of the driving program that collects the characters typed into it.
class TypingTarget {
public:
    TypingTarget();
    [[nodiscard]] bool Focus();

    std::wstring typed;

private:
    TestWindow window_{L"Orvello typing target"};
};

// Lines of Orvello's log that hold one of the markers.
[[nodiscard]] std::size_t LogLinesWith(const OrvelloProcess& orvello,
                                       std::initializer_list<const wchar_t*> markers);

// The main trigger's result lines in the log (only logged while Orvello's window is in front):
// a text, or the note that there was none.
[[nodiscard]] std::size_t ResultLines(const OrvelloProcess& orvello);

}  // namespace orvello::test
