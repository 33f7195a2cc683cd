#pragma once
// What the recognition service tests share: a log of the callbacks in the order they came,
// waveforms for the scripted model as 16-bit PCM, and wave-input devices the test owns and the
// service borrows, one per recording.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "audio/wave_in_device.h"
#include "engine/recognition_service.h"
#include "tests/audio/scripted_wave_in_device.h"
#include "tests/engine/engine_test_support.h"

namespace orvello::test {

// Waits this long for something a working service does in milliseconds.
inline constexpr std::chrono::seconds kCallbackTimeout{60};

// Polls a state that another thread changes after its last callback; false on time-out.
[[nodiscard]] bool Eventually(const std::function<bool()>& condition);

// The callbacks of one recording as lines: "status [Ready]", "text hello", "level" (any level
// above 0), "level 0", "capture ended", "finished", "long quiet", and "draft hello" for the
// text so far, which only LinesWithDrafts shows. Thread-safe.
class CallbackLog {
public:
    [[nodiscard]] RecognitionCallbacks Callbacks();

    [[nodiscard]] std::vector<std::string> Lines() const;
    [[nodiscard]] std::vector<std::string> LinesWithDrafts() const;
    // The lines without the per-buffer levels above 0.
    [[nodiscard]] std::vector<std::string> LinesWithoutLevels() const;
    [[nodiscard]] std::vector<float> Levels() const;
    [[nodiscard]] std::vector<std::string> Texts() const;
    // Waits until `line` has been logged `count` times; false on time-out.
    [[nodiscard]] bool WaitFor(const std::string& line, std::size_t count = 1,
                               std::chrono::milliseconds timeout = kCallbackTimeout) const;
    // Waits until `count` drafts have been reported; false on time-out.
    [[nodiscard]] bool WaitForDrafts(std::size_t count) const;

private:
    void Add(std::string line);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<std::string> lines_;
    std::vector<float> levels_;
    std::vector<std::string> texts_;
};

// Holds the worker in a callback of one recording until Release (or destruction): the jobs queued
// meanwhile wait behind it, so a test knows that they are still queued.
class WorkerHold {
public:
    WorkerHold() : released_(release_.get_future().share()) {}
    WorkerHold(const WorkerHold&) = delete;
    WorkerHold& operator=(const WorkerHold&) = delete;
    ~WorkerHold() { Release(); }

    // The callbacks of `log`, which wait here once they have logged `line` ("finished" or a
    // status line such as "status Error: ...").
    [[nodiscard]] RecognitionCallbacks Callbacks(CallbackLog& log, const std::string& line);
    void Release();

private:
    std::promise<void> release_;
    std::shared_future<void> released_;
    std::once_flag releasedOnce_;
};

// The scripted-pcm model reads its header sample k (k / 32768 as a float) as the length k; every
// other sample only matters by being the largest of its row, so the waveform's 1.0 entries
// become `markValue` and the rest 0.
[[nodiscard]] std::vector<std::int16_t> ScriptedPcm(const ScriptedWaveform& waveform,
                                                    std::int16_t markValue = 16'384);

// "hello world!" in two frames: the reference recording of the service tests.
[[nodiscard]] ScriptedWaveform HelloWorldBang();

// A recording whose transcription takes the scripted model long: one token after another at
// every one of `frames` frames, ten per frame (the limit per frame), so 10 decoder runs a frame.
[[nodiscard]] ScriptedWaveform TenHellosAtEveryFrame(int frames);

// Hands the service one borrowed device per recording, in the order they were added; the test
// keeps them to script them and to read their logs. Throws when none is left.
class DeviceShelf {
public:
    [[nodiscard]] WaveInDeviceFactory Factory();
    template <typename Device>
    Device& Add() {
        auto device = std::make_unique<Device>();
        Device& added = *device;
        std::lock_guard lock(mutex_);
        devices_.push_back(std::move(device));
        return added;
    }
    [[nodiscard]] int HandedOut() const;

private:
    mutable std::mutex mutex_;
    std::deque<std::unique_ptr<WaveInDevice>> devices_;
    std::size_t handedOut_ = 0;
};

// Scripts a device to return `samples` in full 64 ms buffers (the last one shorter), one per
// wait, as fast as the capture takes them.
void ScriptBuffers(ScriptedWaveInDevice& device, const std::vector<std::int16_t>& samples);
// ScriptBuffers, then a wait for a wake-up: the user still holding the trigger.
void ScriptPlayback(ScriptedWaveInDevice& device, const std::vector<std::int16_t>& samples);

}  // namespace orvello::test
