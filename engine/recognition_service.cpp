#include "engine/recognition_service.h"

#include <cstddef>
#include <exception>
#include <string>
#include <utility>

#include "audio/audio_capture.h"
#include "engine/engine_error.h"
#include "engine/parakeet_engine.h"
#include "engine/transcription_chunks.h"

namespace orvello {
namespace {

const char* const kRecordingStatus = "[Recording...]";
const char* const kTranscribingStatus = "[Transcribing...]";
const char* const kReadyStatus = "[Ready]";
const char* const kNoSpeechStatus = "[no speech recognized]";
const char* const kNoAudioStatus = "[No audio captured]";
const char* const kCancelledStatus = "[Cancelled]";
const char* const kErrorPrefix = "Error: ";

// A callback that throws must not stop the service's own bookkeeping, so its exception ends here.
template <typename Callback, typename... Args>
void Notify(const Callback& callback, Args&&... args) noexcept {
    if (!callback) return;
    try {
        callback(std::forward<Args>(args)...);
    } catch (...) {
    }
}

fs::path ResolveModelDirectory(const fs::path& configured) {
    return configured.empty() ? DefaultModelDirectory() : configured;
}

}  // namespace

RecognitionService::RecognitionService(RecognitionConfig config, WaveInDeviceFactory makeDevice)
    : makeDevice_(std::move(makeDevice)),
      modelDirectory_(ResolveModelDirectory(config.modelDirectory)),
      config_(std::move(config)),
      workerThread_(&RecognitionService::WorkerThreadMain, this) {}

RecognitionService::~RecognitionService() {
    Cancel();
    {
        std::lock_guard lock(queueMutex_);
        shutdown_.exchange(true);
    }
    workerSignal_.notify_all();
    workerThread_.join();
}

void RecognitionService::EnsureModelLoaded() {
    std::lock_guard lock(engineMutex_);
    if (engine_) return;
    if (!PathExists(modelDirectory_)) {
        throw EngineError("Model directory not found: " + PathForMessage(modelDirectory_));
    }
    engine_ = std::make_unique<ParakeetEngine>(modelDirectory_);
}

// A running recording is checked before the join: joining it would wait for a release that the
// blocked caller could never deliver.
void RecognitionService::StartRecording(std::uint32_t deviceId, RecognitionCallbacks callbacks) {
    EnsureModelLoaded();
    if (recording_.load()) return;
    JoinRecordingThread();  // one that ended by itself
    stopRequested_.Clear();
    cancelRequested_.exchange(false);
    recording_.exchange(true);
    RecomputeBusy();
    try {
        recordingThread_ = std::thread(&RecognitionService::RecordingThreadMain, this, deviceId,
                                       std::move(callbacks), generation_.load());
    } catch (...) {
        recording_.exchange(false);
        RecomputeBusy();
        throw;
    }
}

// Also joins a recording thread that ended by itself and may still be queueing its job.
void RecognitionService::StopRecording() {
    if (!recordingThread_.joinable()) return;
    stopRequested_.Set();
    JoinRecordingThread();
}

void RecognitionService::Cancel() {
    generation_.fetch_add(1);
    cancelRequested_.exchange(true);
    stopRequested_.Set();
    JoinRecordingThread();
    DiscardQueuedJobs();
    recording_.exchange(false);
    RecomputeBusy();
    workerSignal_.notify_all();
}

ConditioningSettings RecognitionService::GetConditioning() const {
    std::lock_guard lock(engineMutex_);
    return config_.conditioning;
}

void RecognitionService::SetConditioning(const ConditioningSettings& settings) {
    std::lock_guard lock(engineMutex_);
    config_.conditioning = settings;
}

// The recording thread. A job it queues is counted as pending before the recording flag drops,
// so busy stays set from the start of the recording to the end of its job.
void RecognitionService::RecordingThreadMain(std::uint32_t deviceId,
                                             const RecognitionCallbacks& callbacks,
                                             std::uint64_t generation) noexcept {
    Notify(callbacks.onStatus, kRecordingStatus);
    CaptureResult capture = CaptureWithoutThrowing(deviceId, callbacks);
    const std::string endStatus = StatusOfRecordingWithoutJob(capture, generation);
    if (endStatus.empty()) pending_.fetch_add(1);
    recording_.exchange(false);
    RecomputeBusy();
    Notify(callbacks.onCaptureEnded);
    if (!endStatus.empty()) return EndRecordingWithoutJob(callbacks, endStatus);
    Notify(callbacks.onStatus, kTranscribingStatus);
    QueueJob(TranscriptionJob{std::move(capture.samples), callbacks, generation});
}

RecognitionService::CaptureResult RecognitionService::CaptureWithoutThrowing(
    std::uint32_t deviceId, const RecognitionCallbacks& callbacks) noexcept {
    CaptureResult result;
    try {
        const ConditioningSettings settings = GetConditioning();
        const std::unique_ptr<WaveInDevice> device = makeDevice_();
        AudioCapture capture(*device);
        AudioLevelCallback onLevel;
        if (callbacks.onLevel) {
            onLevel = [&callbacks](float level) { Notify(callbacks.onLevel, level); };
        }
        result.samples = capture.Run(deviceId, settings, stopRequested_, onLevel);
    } catch (...) {
        result.failure = CurrentErrorMessage();
    }
    return result;
}

// The last status of a recording that ends without a job; empty when it is to be transcribed.
std::string RecognitionService::StatusOfRecordingWithoutJob(const CaptureResult& capture,
                                                            std::uint64_t generation) const {
    if (!capture.failure.empty()) return kErrorPrefix + capture.failure;
    if (cancelRequested_.load() || generation_.load() != generation) return kCancelledStatus;
    if (capture.samples.empty()) return kNoAudioStatus;
    return {};
}

void RecognitionService::EndRecordingWithoutJob(const RecognitionCallbacks& callbacks,
                                                const std::string& status) noexcept {
    Notify(callbacks.onStatus, status);
    Notify(callbacks.onLevel, 0.0f);
    Notify(callbacks.onFinished);
}

// The job was counted as pending by its recording thread; if it cannot be queued (no memory), the
// recording ends with the error instead.
void RecognitionService::QueueJob(TranscriptionJob job) noexcept {
    try {
        {
            std::lock_guard lock(queueMutex_);
            jobs_.push_back(std::move(job));
        }
        workerSignal_.notify_one();
    } catch (...) {
        pending_.fetch_sub(1);
        RecomputeBusy();
        EndRecordingWithoutJob(job.callbacks, kErrorPrefix + CurrentErrorMessage());
    }
}

void RecognitionService::JoinRecordingThread() {
    if (recordingThread_.joinable()) recordingThread_.join();
}

// Removed jobs get no callback and no longer count as pending; a job being transcribed is not in
// the queue and stays pending until the worker has finished it.
void RecognitionService::DiscardQueuedJobs() {
    std::deque<TranscriptionJob> discarded;
    {
        std::lock_guard lock(queueMutex_);
        discarded.swap(jobs_);
    }
    pending_.fetch_sub(static_cast<std::int32_t>(discarded.size()));
}

// Serialized, so that a thread recomputing from older values cannot overwrite the result of a
// later change made by another thread.
void RecognitionService::RecomputeBusy() {
    std::lock_guard lock(busyMutex_);
    busy_.exchange(recording_.load() || pending_.load() > 0);
}

void RecognitionService::WorkerThreadMain() noexcept {
    TranscriptionJob job;
    while (WaitForJob(job)) {
        ProcessJob(job);
        job = TranscriptionJob{};
        pending_.fetch_sub(1);
        RecomputeBusy();
    }
}

// Takes the next job; false once shutdown is set and the queue is empty, so that jobs queued
// before the shutdown are still processed.
bool RecognitionService::WaitForJob(TranscriptionJob& job) {
    std::unique_lock lock(queueMutex_);
    workerSignal_.wait(lock, [this] { return shutdown_.load() || !jobs_.empty(); });
    if (jobs_.empty()) return false;
    job = std::move(jobs_.front());
    jobs_.pop_front();
    return true;
}

// Staleness is judged after the transcription, so that a Cancel during it suppresses its results.
void RecognitionService::ProcessJob(const TranscriptionJob& job) noexcept {
    const RecognitionCallbacks& callbacks = job.callbacks;
    std::string text;
    std::string failure;
    try {
        text = Transcribe(job);
    } catch (...) {
        failure = CurrentErrorMessage();
    }
    if (IsStale(job)) {
        if (failure.empty()) Notify(callbacks.onFinished);
        return;
    }
    if (!failure.empty()) return Notify(callbacks.onStatus, kErrorPrefix + failure);
    if (!text.empty()) Notify(callbacks.onText, text);
    Notify(callbacks.onStatus, text.empty() ? kNoSpeechStatus : kReadyStatus);
    Notify(callbacks.onFinished);
}

// A recording of up to a minute is transcribed whole; a longer one chunk by chunk, taking the
// engine lock for each chunk, and no further once the job has gone stale.
std::string RecognitionService::Transcribe(const TranscriptionJob& job) {
    const std::vector<SampleRange> chunks = PlanTranscriptionChunks(job.samples);
    if (chunks.size() == 1) return TranscribeUnderEngineLock(job.samples);
    std::vector<std::string> texts;
    for (const SampleRange& chunk : chunks) {
        if (IsStale(job)) break;
        const auto first = job.samples.begin() + static_cast<std::ptrdiff_t>(chunk.begin);
        const std::vector<float> chunkSamples(first,
                                              first + static_cast<std::ptrdiff_t>(chunk.size()));
        texts.push_back(TranscribeUnderEngineLock(chunkSamples));
    }
    return JoinChunkTexts(texts);
}

// The engine exists here: a job only comes from a recording that StartRecording began after a
// successful load, and the engine is never unloaded.
std::string RecognitionService::TranscribeUnderEngineLock(const std::vector<float>& samples) {
    std::lock_guard lock(engineMutex_);
    return engine_->Transcribe(samples);
}

bool RecognitionService::IsStale(const TranscriptionJob& job) const {
    return job.generation != generation_.load();
}

}  // namespace orvello
