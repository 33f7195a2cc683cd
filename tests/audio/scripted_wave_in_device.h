#pragma once

#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "audio/audio_capture.h"
#include "audio/wave_in_device.h"

namespace orvello {

// Result codes the scripted device uses, with the values of the Windows multimedia header.
inline constexpr WaveInResult kBadErrorNumber = 9;  // MMSYSERR_BADERRNUM: no text for the code
inline constexpr WaveInResult kStillPlaying = 33;   // WAVERR_STILLPLAYING
inline constexpr WaveInResult kUnprepared = 34;     // WAVERR_UNPREPARED

// Sample value of the audio the device still holds at stop and reset, which a capture must drop.
inline constexpr std::int16_t kHeldBackSample = 12'345;

// The bytes of 16-bit samples as a driver writes them; `byteCount` may cut the last sample short.
std::vector<std::byte> SampleBytes(const std::vector<std::int16_t>& samples);
std::vector<std::byte> SampleBytes(const std::vector<std::int16_t>& samples, std::size_t byteCount);

// What the device does during one WaitForBuffer call.
struct ScriptedWait {
    BufferWaitResult result = BufferWaitResult::Signalled;
    // Contents of the buffers the device fills and returns during the wait, oldest queued first.
    std::vector<std::vector<std::byte>> returnedBuffers{};
    // Runs after the buffers have been returned, e.g. the user releasing the trigger.
    std::function<void()> duringWait{};
    // Blocks until WakeWaiter is called (Signalled) or a generous safety time has passed
    // (TimedOut), like a driver that has nothing to return.
    bool blockUntilWoken = false;
};

// A wave-input device that behaves like the real one in the ways the capture relies on: queued
// buffers are filled in queue order, reset returns every queued buffer, a queued buffer cannot be
// unprepared and a device with prepared buffers cannot be closed. It logs every call except the
// polling of ReturnedByteCount and the error-text lookup ("Open 3", "Prepare 0", "Wait 100", ...).
class ScriptedWaveInDevice final : public WaveInDevice {
public:
    bool eventCreationFails = false;
    WaveInResult openResult = kWaveInOk;
    std::deque<WaveInResult> prepareResults;  // for successive PrepareBuffer calls, then success
    std::deque<WaveInResult> addResults;      // for successive AddBuffer calls, then success
    WaveInResult startResult = kWaveInOk;
    // A failing reset returns no buffer, and the device then cannot be closed while it holds any.
    WaveInResult resetResult = kWaveInOk;
    std::map<WaveInResult, std::string> errorTexts;  // codes not listed have no text
    // Samples in the buffer being filled when the device is stopped, returned by the stop.
    std::size_t partialSamplesAtStop = 0;

    void Script(ScriptedWait wait) { script_.push_back(std::move(wait)); }
    void ScriptReturnedBuffers(std::vector<std::vector<std::byte>> buffers);

    [[nodiscard]] std::vector<std::string> Calls() const;
    [[nodiscard]] std::optional<WaveInFormat> OpenedFormat() const { return openedFormat_; }
    [[nodiscard]] std::vector<std::size_t> PreparedSizes() const { return preparedSizes_; }
    [[nodiscard]] bool PreparedBuffersOverlap() const;
    // The memory of the buffer the device fills next; empty when it holds none.
    [[nodiscard]] std::span<std::byte> HeldBufferMemory() const;
    [[nodiscard]] bool WasWokenWhileBlocked() const;
    // Returns once the capture is blocked in a wait scripted with blockUntilWoken.
    void WaitUntilBlocked();

    [[nodiscard]] bool CreateBufferEvent() override;
    void CloseBufferEvent() override;
    [[nodiscard]] WaveInResult Open(std::uint32_t deviceId, const WaveInFormat& format) override;
    [[nodiscard]] WaveInResult PrepareBuffer(std::size_t index,
                                             std::span<std::byte> memory) override;
    [[nodiscard]] WaveInResult AddBuffer(std::size_t index) override;
    [[nodiscard]] WaveInResult Start() override;
    [[nodiscard]] BufferWaitResult WaitForBuffer(std::uint32_t timeoutMs) override;
    void WakeWaiter() override;
    [[nodiscard]] std::optional<std::uint32_t> ReturnedByteCount(std::size_t index) override;
    WaveInResult Stop() override;
    WaveInResult Reset() override;
    WaveInResult UnprepareBuffer(std::size_t index) override;
    WaveInResult Close() override;
    [[nodiscard]] WaveInResult GetErrorText(WaveInResult code, std::span<char> text) const override;

private:
    struct Buffer {
        std::span<std::byte> memory;
        bool prepared = false;
        bool done = false;
        std::uint32_t recordedBytes = 0;
    };

    void Log(std::string call);
    [[nodiscard]] static WaveInResult NextResult(std::deque<WaveInResult>& results);
    void ReturnOldestQueued(std::span<const std::byte> contents);
    [[nodiscard]] BufferWaitResult BlockUntilWoken();

    std::array<Buffer, kCaptureBufferCount> buffers_{};
    std::deque<std::size_t> queue_;  // buffers held by the device, oldest first
    std::deque<ScriptedWait> script_;
    std::optional<WaveInFormat> openedFormat_;
    std::vector<std::size_t> preparedSizes_;
    bool eventExists_ = false;
    bool open_ = false;

    mutable std::mutex mutex_;  // the log and the wake state are shared with other threads
    std::condition_variable wakeChanged_;
    std::vector<std::string> calls_;
    bool wakePending_ = false;  // an auto-reset event that has been signalled
    bool blocked_ = false;
    bool wokenWhileBlocked_ = false;
};

}  // namespace orvello
