#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace orvello {

// A multimedia result code (MMRESULT); 0 is success.
using WaveInResult = std::uint32_t;
inline constexpr WaveInResult kWaveInOk = 0;

// The fields of the WAVEFORMATEX handed to the device when it is opened.
struct WaveInFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSecond = 0;
    std::uint32_t averageBytesPerSecond = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;
};

// 16 kHz, 16-bit, mono PCM: what the recogniser takes.
inline constexpr WaveInFormat kSpeechWaveInFormat{
    .formatTag = 1,  // WAVE_FORMAT_PCM
    .channels = 1,
    .samplesPerSecond = 16'000,
    .averageBytesPerSecond = 32'000,
    .blockAlign = 2,
    .bitsPerSample = 16,
    .extraSize = 0,
};

enum class BufferWaitResult { Signalled, TimedOut, Failed };

// The wave-input calls a capture makes, so that the buffer logic above them runs without
// Windows. The Windows implementation wraps CreateEventW, waveInOpen (with CALLBACK_EVENT) and the
// waveIn buffer functions; tests use a scripted device.
//
// Buffers are known by index. The caller owns their memory and keeps it alive, unmoved, from
// PrepareBuffer until UnprepareBuffer; the device owns the header of each buffer.
// WakeWaiter may be called from any thread while the buffer event exists; every other call comes
// from the capturing thread.
class WaveInDevice {
public:
    virtual ~WaveInDevice() = default;

    // Creates the auto-reset, initially unsignalled event the device signals when it returns a
    // buffer. False when it cannot be created.
    [[nodiscard]] virtual bool CreateBufferEvent() = 0;
    virtual void CloseBufferEvent() = 0;

    // waveInOpen of the device id with the format, notifying through the buffer event.
    [[nodiscard]] virtual WaveInResult Open(std::uint32_t deviceId, const WaveInFormat& format) = 0;
    [[nodiscard]] virtual WaveInResult PrepareBuffer(std::size_t index,
                                                     std::span<std::byte> memory) = 0;
    // Clears the buffer's recorded-byte count and queues it for recording.
    [[nodiscard]] virtual WaveInResult AddBuffer(std::size_t index) = 0;
    [[nodiscard]] virtual WaveInResult Start() = 0;

    // Waits until the buffer event is signalled or the time-out has passed.
    [[nodiscard]] virtual BufferWaitResult WaitForBuffer(std::uint32_t timeoutMs) = 0;
    // Signals the buffer event, so that a waiting capture loop looks at its stop flag at once.
    virtual void WakeWaiter() = 0;
    // The recorded-byte count of a buffer the device has returned (WHDR_DONE), or nothing
    // while the device still holds it.
    [[nodiscard]] virtual std::optional<std::uint32_t> ReturnedByteCount(std::size_t index) = 0;

    // The results of the release calls are not acted on: release goes on regardless.
    virtual WaveInResult Stop() = 0;
    virtual WaveInResult Reset() = 0;
    virtual WaveInResult UnprepareBuffer(std::size_t index) = 0;
    virtual WaveInResult Close() = 0;

    // waveInGetErrorTextA: fills `text` with the system's NUL-terminated text for a result code.
    [[nodiscard]] virtual WaveInResult GetErrorText(WaveInResult code,
                                                    std::span<char> text) const = 0;
};

}  // namespace orvello
