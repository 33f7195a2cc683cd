#pragma once

// Windows only: the wave-input device of the Windows multimedia functions.

// clang-format off
#include <windows.h>
#include <mmsystem.h>  // needs windows.h first
// clang-format on

#include <array>
#include <memory>
#include <string>

#include "audio/audio_capture.h"
#include "audio/wave_in_device.h"

namespace orvello {

// A wave-input device opened with waveInOpen and CALLBACK_EVENT. It owns the event, the device
// handle and one WAVEHDR per capture buffer; the headers' addresses are handed to the driver,
// so the object neither copies nor moves.
class WinWaveInDevice final : public WaveInDevice {
public:
    WinWaveInDevice() = default;
    WinWaveInDevice(const WinWaveInDevice&) = delete;
    WinWaveInDevice& operator=(const WinWaveInDevice&) = delete;
    // Releases whatever a caller left open, in the same order as a capture's shut-down. A device
    // that still cannot be closed keeps its headers and its event.
    ~WinWaveInDevice() override;

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
    [[nodiscard]] bool IsValidIndex(std::size_t index) const { return index < kCaptureBufferCount; }
    [[nodiscard]] WAVEHDR& Header(std::size_t index) { return (*headers_)[index]; }

    HANDLE bufferEvent_ = nullptr;
    HWAVEIN waveIn_ = nullptr;
    // On the heap: a device that cannot be closed keeps writing into them, so they then stay.
    std::unique_ptr<std::array<WAVEHDR, kCaptureBufferCount>> headers_ =
        std::make_unique<std::array<WAVEHDR, kCaptureBufferCount>>();
    std::array<bool, kCaptureBufferCount> prepared_{};
};

// The system's text for a wave-input result code (waveInGetErrorTextA, 256 characters), or
// "MMRESULT=" and the code in decimal.
[[nodiscard]] std::string WaveInErrorText(WaveInResult code);

}  // namespace orvello
