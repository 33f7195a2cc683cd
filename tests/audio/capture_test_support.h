#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "audio/audio_capture.h"
#include "audio/capture_stop_flag.h"
#include "audio/conditioning.h"
#include "tests/audio/scripted_wave_in_device.h"

namespace orvello {

inline constexpr std::uint32_t kTestDeviceId = 3;
inline constexpr ConditioningSettings kUnconditioned{.enabled = false};

// Calls of a successful set-up on device 3, and of the shut-down after a capture.
inline const std::vector<std::string> kSetUpCalls{
    "CreateEvent", "Open 3", "Prepare 0", "Add 0", "Prepare 1", "Add 1",
    "Prepare 2",   "Add 2",  "Prepare 3", "Add 3", "Start",
};
inline const std::vector<std::string> kShutDownCalls{
    "Stop",        "Reset",       "Unprepare 0", "Unprepare 1",
    "Unprepare 2", "Unprepare 3", "Close",       "CloseEvent",
};

inline std::vector<std::string> Calls(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> calls;
    for (const std::vector<std::string>& part : parts)
        calls.insert(calls.end(), part.begin(), part.end());
    return calls;
}

inline std::vector<std::int16_t> Constant(std::int16_t value, std::size_t count) {
    return std::vector<std::int16_t>(count, value);
}

// The float samples of 16-bit samples: s / 32768.
inline std::vector<float> Scaled(const std::vector<std::int16_t>& samples) {
    std::vector<float> scaled;
    for (std::int16_t s : samples) scaled.push_back(static_cast<float>(s) / 32768.0f);
    return scaled;
}

inline std::vector<float> Joined(std::initializer_list<std::vector<float>> parts) {
    std::vector<float> joined;
    for (const std::vector<float>& part : parts)
        joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// A capture on a scripted device, with the stop flag and the reported levels.
class CaptureFixture : public ::testing::Test {
protected:
    std::vector<float> Capture(const ConditioningSettings& settings = kUnconditioned) {
        AudioCapture capture(device);
        return capture.Run(kTestDeviceId, settings, stop,
                           [this](float level) { levels.push_back(level); });
    }

    // The next wait returns these buffers, then the user asks to stop.
    void ScriptStopDuringWait(std::vector<std::vector<std::byte>> returned = {}) {
        device.Script(
            {.returnedBuffers = std::move(returned), .duringWait = [this] { stop.Set(); }});
    }

    ScriptedWaveInDevice device;
    CaptureStopFlag stop;
    std::vector<float> levels;
};

}  // namespace orvello
