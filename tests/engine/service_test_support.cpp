#include "tests/engine/service_test_support.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace orvello::test {
namespace {

using W = ScriptedWaveform;

// The service's view of a device the shelf keeps: every call goes to the kept device, which
// therefore outlives the recording and can be examined afterwards.
class BorrowedWaveInDevice final : public WaveInDevice {
public:
    explicit BorrowedWaveInDevice(WaveInDevice& device) : device_(device) {}

    bool CreateBufferEvent() override { return device_.CreateBufferEvent(); }
    void CloseBufferEvent() override { device_.CloseBufferEvent(); }
    WaveInResult Open(std::uint32_t deviceId, const WaveInFormat& format) override {
        return device_.Open(deviceId, format);
    }
    WaveInResult PrepareBuffer(std::size_t index, std::span<std::byte> memory) override {
        return device_.PrepareBuffer(index, memory);
    }
    WaveInResult AddBuffer(std::size_t index) override { return device_.AddBuffer(index); }
    WaveInResult Start() override { return device_.Start(); }
    BufferWaitResult WaitForBuffer(std::uint32_t timeoutMs) override {
        return device_.WaitForBuffer(timeoutMs);
    }
    void WakeWaiter() override { device_.WakeWaiter(); }
    std::optional<std::uint32_t> ReturnedByteCount(std::size_t index) override {
        return device_.ReturnedByteCount(index);
    }
    WaveInResult Stop() override { return device_.Stop(); }
    WaveInResult Reset() override { return device_.Reset(); }
    WaveInResult UnprepareBuffer(std::size_t index) override {
        return device_.UnprepareBuffer(index);
    }
    WaveInResult Close() override { return device_.Close(); }
    WaveInResult GetErrorText(WaveInResult code, std::span<char> text) const override {
        return device_.GetErrorText(code, text);
    }

private:
    WaveInDevice& device_;
};

}  // namespace

bool Eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kCallbackTimeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

RecognitionCallbacks CallbackLog::Callbacks() {
    return RecognitionCallbacks{
        .onStatus = [this](const std::string& status) { Add("status " + status); },
        .onText =
            [this](const std::string& text) {
                {
                    std::lock_guard lock(mutex_);
                    texts_.push_back(text);
                }
                Add("text " + text);
            },
        .onLevel =
            [this](float level) {
                {
                    std::lock_guard lock(mutex_);
                    levels_.push_back(level);
                }
                Add(level > 0.0f ? "level" : "level 0");
            },
        .onCaptureEnded = [this] { Add("capture ended"); },
        .onFinished = [this] { Add("finished"); },
        .onLongQuiet = [this] { Add("long quiet"); },
        .onDraftText = [this](const std::string& text) { Add("draft " + text); },
    };
}

std::vector<std::string> CallbackLog::LinesWithDrafts() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> CallbackLog::Lines() const {
    std::vector<std::string> lines = LinesWithDrafts();
    std::erase_if(lines, [](const std::string& line) { return line.starts_with("draft "); });
    return lines;
}

std::vector<std::string> CallbackLog::LinesWithoutLevels() const {
    std::vector<std::string> lines = Lines();
    std::erase(lines, "level");
    return lines;
}

std::vector<float> CallbackLog::Levels() const {
    std::lock_guard lock(mutex_);
    return levels_;
}

std::vector<std::string> CallbackLog::Texts() const {
    std::lock_guard lock(mutex_);
    return texts_;
}

bool CallbackLog::WaitFor(const std::string& line, std::size_t count,
                          std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] {
        return static_cast<std::size_t>(std::count(lines_.begin(), lines_.end(), line)) >= count;
    });
}

bool CallbackLog::WaitForDrafts(std::size_t count) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, kCallbackTimeout, [&] {
        return static_cast<std::size_t>(std::count_if(lines_.begin(), lines_.end(), [](auto& line) {
                   return line.starts_with("draft ");
               })) >= count;
    });
}

void CallbackLog::Add(std::string line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
    changed_.notify_all();
}

RecognitionCallbacks WorkerHold::Callbacks(CallbackLog& log, const std::string& line) {
    RecognitionCallbacks callbacks = log.Callbacks();
    const std::shared_future<void> released = released_;
    if (line == "finished") {
        callbacks.onFinished = [logged = callbacks.onFinished, released] {
            logged();
            released.wait();
        };
    } else {
        callbacks.onStatus = [logged = callbacks.onStatus, released,
                              line](const std::string& status) {
            logged(status);
            if ("status " + status == line) released.wait();
        };
    }
    return callbacks;
}

void WorkerHold::Release() {
    std::call_once(releasedOnce_, [this] { release_.set_value(); });
}

std::vector<std::int16_t> ScriptedPcm(const ScriptedWaveform& waveform, std::int16_t markValue) {
    const std::vector<float> samples = waveform.samples();
    std::vector<std::int16_t> pcm(samples.size(), 0);
    pcm[0] = static_cast<std::int16_t>(std::lround(samples[0]));
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i] > 0.0f) pcm[i] = markValue;
    }
    return pcm;
}

ScriptedWaveform HelloWorldBang() {
    W waveform(2);
    waveform.At(0, 0, W::kBlank, W::kHello, 0)
        .At(0, 1, W::kHello, W::kWorld, 1)
        .At(1, 2, W::kWorld, W::kBang, 1);
    return waveform;
}

ScriptedWaveform TenHellosAtEveryFrame(int frames) {
    W waveform(frames);
    for (int t = 0; t < frames; ++t) waveform.Always(t, W::kHello, 0);
    return waveform;
}

WaveInDeviceFactory DeviceShelf::Factory() {
    return [this]() -> std::unique_ptr<WaveInDevice> {
        std::lock_guard lock(mutex_);
        if (handedOut_ == devices_.size()) throw std::runtime_error("No device left on the shelf.");
        return std::make_unique<BorrowedWaveInDevice>(*devices_[handedOut_++]);
    };
}

int DeviceShelf::HandedOut() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(handedOut_);
}

void ScriptBuffers(ScriptedWaveInDevice& device, const std::vector<std::int16_t>& samples) {
    for (std::size_t begin = 0; begin < samples.size(); begin += kCaptureBufferSamples) {
        const std::size_t end = std::min(begin + kCaptureBufferSamples, samples.size());
        const std::vector<std::int16_t> buffer(samples.begin() + static_cast<std::ptrdiff_t>(begin),
                                               samples.begin() + static_cast<std::ptrdiff_t>(end));
        device.ScriptReturnedBuffers({SampleBytes(buffer)});
    }
}

void ScriptPlayback(ScriptedWaveInDevice& device, const std::vector<std::int16_t>& samples) {
    ScriptBuffers(device, samples);
    device.Script(ScriptedWait{.blockUntilWoken = true});
}

}  // namespace orvello::test
