#include "audio/wave_in_device_win.h"

#include <algorithm>
#include <limits>

#include "audio/wave_in_error_text.h"

namespace orvello {
namespace {

WAVEFORMATEX ToWaveFormatEx(const WaveInFormat& format) {
    WAVEFORMATEX waveFormat{};
    waveFormat.wFormatTag = format.formatTag;
    waveFormat.nChannels = format.channels;
    waveFormat.nSamplesPerSec = format.samplesPerSecond;
    waveFormat.nAvgBytesPerSec = format.averageBytesPerSecond;
    waveFormat.nBlockAlign = format.blockAlign;
    waveFormat.wBitsPerSample = format.bitsPerSample;
    waveFormat.cbSize = format.extraSize;
    return waveFormat;
}

WaveInResult LookUpErrorText(WaveInResult code, std::span<char> text) {
    const UINT textChars =
        static_cast<UINT>(std::min<std::size_t>(text.size(), std::numeric_limits<UINT>::max()));
    return ::waveInGetErrorTextA(code, text.data(), textChars);
}

}  // namespace

WinWaveInDevice::~WinWaveInDevice() {
    if (waveIn_ != nullptr) {
        (void)Stop();
        (void)Reset();
        for (std::size_t index = 0; index < kCaptureBufferCount; ++index) {
            if (prepared_[index]) (void)UnprepareBuffer(index);
        }
        (void)Close();
    }
    if (waveIn_ != nullptr) {
        (void)headers_.release();  // the driver may still write into them and signal the event
        return;
    }
    CloseBufferEvent();
}

bool WinWaveInDevice::CreateBufferEvent() {
    // Auto-reset, not signalled, unnamed: each returned buffer or wake-up wakes one wait.
    bufferEvent_ = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    return bufferEvent_ != nullptr;
}

void WinWaveInDevice::CloseBufferEvent() {
    if (bufferEvent_ == nullptr) return;
    ::CloseHandle(bufferEvent_);
    bufferEvent_ = nullptr;
}

WaveInResult WinWaveInDevice::Open(std::uint32_t deviceId, const WaveInFormat& format) {
    const WAVEFORMATEX waveFormat = ToWaveFormatEx(format);
    HWAVEIN waveIn = nullptr;
    const MMRESULT result =
        ::waveInOpen(&waveIn, deviceId, &waveFormat, reinterpret_cast<DWORD_PTR>(bufferEvent_), 0,
                     CALLBACK_EVENT);
    if (result == MMSYSERR_NOERROR) waveIn_ = waveIn;
    return result;
}

WaveInResult WinWaveInDevice::PrepareBuffer(std::size_t index, std::span<std::byte> memory) {
    if (!IsValidIndex(index)) return MMSYSERR_INVALPARAM;
    WAVEHDR& header = Header(index);
    header = WAVEHDR{};
    header.lpData = reinterpret_cast<LPSTR>(memory.data());
    header.dwBufferLength = static_cast<DWORD>(memory.size());
    const MMRESULT result = ::waveInPrepareHeader(waveIn_, &header, sizeof(WAVEHDR));
    prepared_[index] = result == MMSYSERR_NOERROR;
    return result;
}

WaveInResult WinWaveInDevice::AddBuffer(std::size_t index) {
    if (!IsValidIndex(index)) return MMSYSERR_INVALPARAM;
    Header(index).dwBytesRecorded = 0;
    return ::waveInAddBuffer(waveIn_, &Header(index), sizeof(WAVEHDR));
}

WaveInResult WinWaveInDevice::Start() {
    return ::waveInStart(waveIn_);
}

BufferWaitResult WinWaveInDevice::WaitForBuffer(std::uint32_t timeoutMs) {
    switch (::WaitForSingleObject(bufferEvent_, timeoutMs)) {
        case WAIT_OBJECT_0:
            return BufferWaitResult::Signalled;
        case WAIT_TIMEOUT:
            return BufferWaitResult::TimedOut;
        default:
            return BufferWaitResult::Failed;
    }
}

void WinWaveInDevice::WakeWaiter() {
    if (bufferEvent_ != nullptr) ::SetEvent(bufferEvent_);
}

std::optional<std::uint32_t> WinWaveInDevice::ReturnedByteCount(std::size_t index) {
    if (!IsValidIndex(index)) return std::nullopt;
    // The driver sets WHDR_DONE on its own thread; the wait on the event orders these reads.
    const WAVEHDR& header = Header(index);
    if ((header.dwFlags & WHDR_DONE) == 0) return std::nullopt;
    return static_cast<std::uint32_t>(header.dwBytesRecorded);
}

WaveInResult WinWaveInDevice::Stop() {
    return ::waveInStop(waveIn_);
}

WaveInResult WinWaveInDevice::Reset() {
    return ::waveInReset(waveIn_);
}

WaveInResult WinWaveInDevice::UnprepareBuffer(std::size_t index) {
    if (!IsValidIndex(index)) return MMSYSERR_INVALPARAM;
    const MMRESULT result = ::waveInUnprepareHeader(waveIn_, &Header(index), sizeof(WAVEHDR));
    if (result == MMSYSERR_NOERROR) prepared_[index] = false;
    return result;
}

WaveInResult WinWaveInDevice::Close() {
    const MMRESULT result = ::waveInClose(waveIn_);
    if (result == MMSYSERR_NOERROR) waveIn_ = nullptr;
    return result;
}

WaveInResult WinWaveInDevice::GetErrorText(WaveInResult code, std::span<char> text) const {
    return LookUpErrorText(code, text);
}

std::string WaveInErrorText(WaveInResult code) {
    return WaveInErrorText(code, LookUpErrorText);
}

}  // namespace orvello
