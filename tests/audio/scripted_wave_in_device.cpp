#include "tests/audio/scripted_wave_in_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>

namespace orvello {
namespace {

// Long enough never to pass in a working test, short enough not to hang a broken one.
constexpr auto kBlockedWaitSafetyTime = std::chrono::seconds(20);

}  // namespace

std::vector<std::byte> SampleBytes(const std::vector<std::int16_t>& samples) {
    return SampleBytes(samples, samples.size() * sizeof(std::int16_t));
}

std::vector<std::byte> SampleBytes(const std::vector<std::int16_t>& samples,
                                   std::size_t byteCount) {
    std::vector<std::byte> bytes(samples.size() * sizeof(std::int16_t));
    // No samples: data() may be null, which memcpy must not be given even for 0 bytes.
    if (!bytes.empty()) std::memcpy(bytes.data(), samples.data(), bytes.size());
    bytes.resize(std::min(byteCount, bytes.size()));
    return bytes;
}

void ScriptedWaveInDevice::ScriptReturnedBuffers(std::vector<std::vector<std::byte>> buffers) {
    Script(ScriptedWait{.returnedBuffers = std::move(buffers)});
}

std::vector<std::string> ScriptedWaveInDevice::Calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

bool ScriptedWaveInDevice::PreparedBuffersOverlap() const {
    for (std::size_t a = 0; a < buffers_.size(); ++a) {
        for (std::size_t b = a + 1; b < buffers_.size(); ++b) {
            const std::byte* aBegin = buffers_[a].memory.data();
            const std::byte* bBegin = buffers_[b].memory.data();
            if (aBegin < bBegin + buffers_[b].memory.size() &&
                bBegin < aBegin + buffers_[a].memory.size()) {
                return true;
            }
        }
    }
    return false;
}

std::span<std::byte> ScriptedWaveInDevice::HeldBufferMemory() const {
    if (queue_.empty()) return {};
    return buffers_.at(queue_.front()).memory;
}

bool ScriptedWaveInDevice::WasWokenWhileBlocked() const {
    std::lock_guard lock(mutex_);
    return wokenWhileBlocked_;
}

void ScriptedWaveInDevice::WaitUntilBlocked() {
    std::unique_lock lock(mutex_);
    wakeChanged_.wait(lock, [this] { return blocked_; });
}

bool ScriptedWaveInDevice::CreateBufferEvent() {
    Log("CreateEvent");
    std::lock_guard lock(mutex_);
    eventExists_ = !eventCreationFails;
    return eventExists_;
}

void ScriptedWaveInDevice::CloseBufferEvent() {
    Log("CloseEvent");
    EXPECT_TRUE(eventExists_) << "closing an event that does not exist";
    EXPECT_FALSE(open_) << "the event is closed while the device is still open";
    std::lock_guard lock(mutex_);
    eventExists_ = false;
}

WaveInResult ScriptedWaveInDevice::Open(std::uint32_t deviceId, const WaveInFormat& format) {
    Log("Open " + std::to_string(deviceId));
    EXPECT_TRUE(eventExists_) << "opened without a buffer event";
    openedFormat_ = format;
    open_ = openResult == kWaveInOk;
    return openResult;
}

WaveInResult ScriptedWaveInDevice::PrepareBuffer(std::size_t index, std::span<std::byte> memory) {
    Log("Prepare " + std::to_string(index));
    const WaveInResult result = NextResult(prepareResults);
    if (result != kWaveInOk) return result;
    buffers_.at(index) = Buffer{.memory = memory, .prepared = true};
    preparedSizes_.push_back(memory.size());
    return result;
}

WaveInResult ScriptedWaveInDevice::AddBuffer(std::size_t index) {
    Log("Add " + std::to_string(index));
    const WaveInResult result = NextResult(addResults);
    if (result != kWaveInOk) return result;
    Buffer& buffer = buffers_.at(index);
    if (!buffer.prepared) return kUnprepared;
    buffer.recordedBytes = 0;
    buffer.done = false;
    queue_.push_back(index);
    return result;
}

WaveInResult ScriptedWaveInDevice::Start() {
    Log("Start");
    return startResult;
}

BufferWaitResult ScriptedWaveInDevice::WaitForBuffer(std::uint32_t timeoutMs) {
    Log("Wait " + std::to_string(timeoutMs));
    if (script_.empty()) {
        ADD_FAILURE() << "the capture waited beyond the end of its script";
        return BufferWaitResult::Failed;
    }
    ScriptedWait wait = std::move(script_.front());
    script_.pop_front();
    for (const std::vector<std::byte>& contents : wait.returnedBuffers) {
        ReturnOldestQueued(contents);
    }
    if (wait.duringWait) wait.duringWait();
    if (wait.blockUntilWoken) return BlockUntilWoken();
    std::lock_guard lock(mutex_);
    wakePending_ = false;  // the wait consumes the signal, as with an auto-reset event
    return wait.result;
}

BufferWaitResult ScriptedWaveInDevice::BlockUntilWoken() {
    std::unique_lock lock(mutex_);
    blocked_ = true;
    wakeChanged_.notify_all();
    wokenWhileBlocked_ =
        wakeChanged_.wait_for(lock, kBlockedWaitSafetyTime, [this] { return wakePending_; });
    blocked_ = false;
    wakePending_ = false;
    return wokenWhileBlocked_ ? BufferWaitResult::Signalled : BufferWaitResult::TimedOut;
}

void ScriptedWaveInDevice::WakeWaiter() {
    Log("Wake");
    std::lock_guard lock(mutex_);
    EXPECT_TRUE(eventExists_) << "woken through an event that does not exist";
    wakePending_ = true;
    wakeChanged_.notify_all();
}

std::optional<std::uint32_t> ScriptedWaveInDevice::ReturnedByteCount(std::size_t index) {
    const Buffer& buffer = buffers_.at(index);
    if (!buffer.done) return std::nullopt;
    return buffer.recordedBytes;
}

WaveInResult ScriptedWaveInDevice::Stop() {
    Log("Stop");
    if (partialSamplesAtStop > 0 && !queue_.empty()) {
        const std::vector<std::int16_t> partial(partialSamplesAtStop, kHeldBackSample);
        ReturnOldestQueued(SampleBytes(partial));
    }
    return kWaveInOk;
}

WaveInResult ScriptedWaveInDevice::Reset() {
    Log("Reset");
    if (resetResult != kWaveInOk) return resetResult;
    const std::vector<std::int16_t> full(kCaptureBufferSamples, kHeldBackSample);
    while (!queue_.empty()) ReturnOldestQueued(SampleBytes(full));
    return kWaveInOk;
}

WaveInResult ScriptedWaveInDevice::UnprepareBuffer(std::size_t index) {
    Log("Unprepare " + std::to_string(index));
    Buffer& buffer = buffers_.at(index);
    if (std::find(queue_.begin(), queue_.end(), index) != queue_.end()) {
        ADD_FAILURE() << "buffer " << index << " unprepared while the device holds it";
        return kStillPlaying;
    }
    EXPECT_TRUE(buffer.prepared) << "buffer " << index << " unprepared twice or never prepared";
    buffer.prepared = false;
    return kWaveInOk;
}

WaveInResult ScriptedWaveInDevice::Close() {
    Log("Close");
    const bool anyPrepared =
        std::any_of(buffers_.begin(), buffers_.end(), [](const Buffer& b) { return b.prepared; });
    if (anyPrepared) {
        if (resetResult == kWaveInOk) ADD_FAILURE() << "closed with prepared buffers";
        return kStillPlaying;
    }
    open_ = false;
    return kWaveInOk;
}

WaveInResult ScriptedWaveInDevice::GetErrorText(WaveInResult code, std::span<char> text) const {
    const auto found = errorTexts.find(code);
    if (found == errorTexts.end() || found->second.size() >= text.size()) return kBadErrorNumber;
    std::copy(found->second.begin(), found->second.end(), text.begin());
    text[found->second.size()] = '\0';
    return kWaveInOk;
}

void ScriptedWaveInDevice::Log(std::string call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(std::move(call));
}

WaveInResult ScriptedWaveInDevice::NextResult(std::deque<WaveInResult>& results) {
    if (results.empty()) return kWaveInOk;
    const WaveInResult result = results.front();
    results.pop_front();
    return result;
}

void ScriptedWaveInDevice::ReturnOldestQueued(std::span<const std::byte> contents) {
    if (queue_.empty()) {
        ADD_FAILURE() << "the device was to return a buffer but holds none";
        return;
    }
    Buffer& buffer = buffers_.at(queue_.front());
    queue_.pop_front();
    EXPECT_LE(contents.size(), buffer.memory.size());
    const std::size_t byteCount = std::min(contents.size(), buffer.memory.size());
    std::copy_n(contents.begin(), byteCount, buffer.memory.begin());
    buffer.recordedBytes = static_cast<std::uint32_t>(byteCount);
    buffer.done = true;
}

}  // namespace orvello
