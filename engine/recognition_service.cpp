#include "engine/recognition_service.h"

#include <algorithm>
#include <cstddef>
#include <exception>
#include <string>
#include <utility>

#include "audio/audio_capture.h"
#include "engine/background_priority.h"
#include "engine/engine_error.h"
#include "engine/model_identity.h"
#include "engine/parakeet_engine.h"
#include "engine/speech_end.h"

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
      longQuietSamples_(config.longQuietSamples),
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
    if (modelCacheWriter_.joinable()) modelCacheWriter_.join();
}

void RecognitionService::EnsureModelLoaded() {
    std::lock_guard lock(engineMutex_);
    if (engine_) return;
    if (!PathExists(modelDirectory_)) {
        throw EngineError("Model directory not found: " + PathForMessage(modelDirectory_));
    }
    engine_ = std::make_unique<ParakeetEngine>(modelDirectory_, config_.modelCacheFolder,
                                               ModelCacheWriting::AfterLoad);
    if (engine_->hasPendingModelCache()) StartWritingModelCache();
}

// "Engine ready." comes as soon as without a cache; the prepared networks are saved meanwhile,
// each prepared once more on this thread, which gives way to dictation.
void RecognitionService::StartWritingModelCache() try {
    modelCacheWriter_ = std::thread([engine = engine_.get(), onNote = config_.onModelCacheNote] {
        LowerThisThreadsPriority();
        std::vector<std::string> notes;
        try {
            notes = engine->WritePendingModelCache();
        } catch (const std::exception& error) {
            notes.push_back(std::string("Model cache: not written (") + error.what() + ").");
        }
        for (const std::string& note : notes) {
            try {
                if (onNote) onNote(note);
            } catch (...) {  // a callback's exception is dropped
            }
        }
    });
} catch (const std::system_error&) {
    // No thread: the engine works without the cache, and the next load tries again.
}

std::string RecognitionService::ModelLoadNote() const {
    std::lock_guard lock(engineMutex_);
    return engine_ ? engine_->loadNote() : std::string();
}

std::string RecognitionService::ModelDescription() const {
    std::lock_guard lock(engineMutex_);
    return engine_ ? DescribeModel(ModelFactsOf(*engine_)) : std::string();
}

// A running recording is checked before the join: joining it would wait for a release that the
// blocked caller could never deliver. The conditioning is copied here and handed to the recording
// thread.
void RecognitionService::StartRecording(std::uint32_t deviceId, RecognitionCallbacks callbacks) {
    EnsureModelLoaded();
    if (recording_.load()) return;
    JoinRecordingThread();  // one that ended by itself
    const ConditioningSettings settings = GetConditioning();
    stopRequested_.Clear();
    cancelRequested_.exchange(false);
    recording_.exchange(true);
    RecomputeBusy();
    try {
        recordingThread_ = std::thread(&RecognitionService::RecordingThreadMain, this, deviceId,
                                       std::move(callbacks), settings, generation_.load());
    } catch (...) {
        recording_.exchange(false);
        RecomputeBusy();
        throw;
    }
}

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
    std::lock_guard lock(settingsMutex_);
    return config_.conditioning;
}

void RecognitionService::SetConditioning(const ConditioningSettings& settings) {
    std::lock_guard lock(settingsMutex_);
    config_.conditioning = settings;
}

std::size_t RecognitionService::QueuedJobs() const {
    std::lock_guard lock(queueMutex_);
    return jobs_.size();
}

// The recording thread. Its last chunk is counted as pending before the recording flag drops, so
// busy stays set from the start of the recording to the end of its job. A recording that ends
// without a job takes back the chunks it handed over that the worker has not taken yet.
void RecognitionService::RecordingThreadMain(std::uint32_t deviceId,
                                             const RecognitionCallbacks& callbacks,
                                             const ConditioningSettings& settings,
                                             std::uint64_t generation) noexcept {
    Notify(callbacks.onStatus, kRecordingStatus);
    RecordingInProgress recording{.generation = generation,
                                  .conditioning = settings,
                                  .quiet = QuietWatch(settings, longQuietSamples_)};
    const std::optional<std::string> failure =
        CaptureWithoutThrowing(deviceId, settings, callbacks, recording);
    const std::optional<std::string> endStatus = StatusOfRecordingWithoutJob(failure, recording);
    if (endStatus) {
        DiscardQueuedChunksOf(*recording.transcript);
    } else {
        pending_.fetch_add(1);
    }
    recording_.exchange(false);
    RecomputeBusy();
    Notify(callbacks.onCaptureEnded);
    if (endStatus) return EndRecordingWithoutJob(callbacks, *endStatus);
    Notify(callbacks.onStatus, kTranscribingStatus);
    QueueLastChunk(TranscriptionJob{
        .samples = TrimAfterSpeech(recording.cutter.TakeRest(), recording.conditioning),
        .callbacks = callbacks,
        .generation = generation,
        .transcript = recording.transcript});
}

std::optional<std::string> RecognitionService::CaptureWithoutThrowing(
    std::uint32_t deviceId, const ConditioningSettings& settings,
    const RecognitionCallbacks& callbacks, RecordingInProgress& recording) noexcept {
    try {
        const std::unique_ptr<WaveInDevice> device = makeDevice_();
        AudioCapture capture(*device);
        AudioLevelCallback onLevel;
        if (callbacks.onLevel) {
            onLevel = [&callbacks](float level) { Notify(callbacks.onLevel, level); };
        }
        capture.Stream(deviceId, settings, stopRequested_, onLevel,
                       [this, &recording, &callbacks](std::span<const float> samples) {
                           HandOverFinishedChunks(recording, samples);
                           if (recording.quiet.Append(samples)) Notify(callbacks.onLongQuiet);
                       });
    } catch (...) {
        return CurrentErrorMessage();
    }
    return std::nullopt;
}

// Each chunk goes to the worker, up to the end of its speech, as soon as the recording has passed
// its end. A chunk that cannot be queued (no memory) ends the capture with that error.
void RecognitionService::HandOverFinishedChunks(RecordingInProgress& recording,
                                                std::span<const float> samples) {
    recording.anySample = true;
    for (std::vector<float>& chunk : recording.cutter.Append(samples)) {
        pending_.fetch_add(1);
        RecomputeBusy();
        try {
            PushJob(TranscriptionJob{
                .samples = TrimAfterSpeech(std::move(chunk), recording.conditioning),
                .generation = recording.generation,
                .transcript = recording.transcript,
                .lastChunk = false});
        } catch (...) {
            pending_.fetch_sub(1);
            RecomputeBusy();
            throw;
        }
    }
}

// The last status of a recording that ends without a job; none when it is to be transcribed.
std::optional<std::string> RecognitionService::StatusOfRecordingWithoutJob(
    const std::optional<std::string>& captureFailure, const RecordingInProgress& recording) const {
    if (captureFailure) return kErrorPrefix + *captureFailure;
    if (cancelRequested_.load() || generation_.load() != recording.generation) {
        return kCancelledStatus;
    }
    if (!recording.anySample) return kNoAudioStatus;
    return std::nullopt;
}

void RecognitionService::EndRecordingWithoutJob(const RecognitionCallbacks& callbacks,
                                                const std::string& status) noexcept {
    Notify(callbacks.onStatus, status);
    Notify(callbacks.onLevel, 0.0f);
    Notify(callbacks.onFinished);
}

// The job was counted as pending by its recording thread; if it cannot be queued (no memory), the
// recording ends with the error instead, and its earlier chunks are taken back.
void RecognitionService::QueueLastChunk(TranscriptionJob job) noexcept {
    try {
        PushJob(std::move(job));
    } catch (...) {
        DiscardQueuedChunksOf(*job.transcript);
        pending_.fetch_sub(1);
        RecomputeBusy();
        EndRecordingWithoutJob(job.callbacks, kErrorPrefix + CurrentErrorMessage());
    }
}

// The caller has counted the job as pending.
void RecognitionService::PushJob(TranscriptionJob&& job) {
    {
        std::lock_guard lock(queueMutex_);
        jobs_.push_back(std::move(job));
    }
    workerSignal_.notify_one();
}

void RecognitionService::JoinRecordingThread() {
    if (recordingThread_.joinable()) recordingThread_.join();
}

// Removed jobs get no callback and no longer count as pending; a job being transcribed is
// stopped and no longer counts either.
void RecognitionService::DiscardQueuedJobs() {
    std::deque<TranscriptionJob> discarded;
    std::size_t abandoned = 0;
    {
        std::lock_guard lock(queueMutex_);
        discarded.swap(jobs_);
        abandoned = running_.Abandon() ? 1 : 0;
    }
    pending_.fetch_sub(static_cast<std::int32_t>(discarded.size() + abandoned));
}

void RecognitionService::DiscardQueuedChunksOf(const RecordingTranscript& transcript) noexcept {
    std::size_t discarded = 0;
    {
        std::lock_guard lock(queueMutex_);
        discarded = std::erase_if(jobs_, [&transcript](const TranscriptionJob& job) {
            return job.transcript.get() == &transcript;
        });
        if (running_.Abandon(&transcript)) ++discarded;
    }
    if (discarded == 0) return;
    pending_.fetch_sub(static_cast<std::int32_t>(discarded));
    RecomputeBusy();
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
        FinishRunningJob();
    }
}

// The job was counted as pending unless it has been abandoned meanwhile.
void RecognitionService::FinishRunningJob() {
    bool counted = false;
    {
        std::lock_guard lock(queueMutex_);
        counted = running_.Finish();
    }
    if (!counted) return;
    pending_.fetch_sub(1);
    RecomputeBusy();
}

// Takes the next job; false once shutdown is set and the queue is empty, so that jobs queued
// before the shutdown are still processed.
bool RecognitionService::WaitForJob(TranscriptionJob& job) {
    std::unique_lock lock(queueMutex_);
    workerSignal_.wait(lock, [this] { return shutdown_.load() || !jobs_.empty(); });
    if (jobs_.empty()) return false;
    job = std::move(jobs_.front());
    jobs_.pop_front();
    running_.Begin(job.transcript.get());
    return true;
}

void RecognitionService::ProcessJob(TranscriptionJob& job) noexcept {
    TranscribeChunk(job);
    if (job.lastChunk) DeliverRecording(job);
}

// The chunks of a recording that has gone stale, or whose earlier chunk failed, are not
// transcribed. An empty chunk has nothing to say.
void RecognitionService::TranscribeChunk(TranscriptionJob& job) noexcept {
    RecordingTranscript& transcript = *job.transcript;
    if (IsStale(job) || transcript.failure || job.samples.empty()) return;
    try {
        transcript.texts.push_back(TranscribeStoppably(job.samples));
    } catch (...) {
        transcript.failure = CurrentErrorMessage();
    }
    job.samples = {};
}

// Staleness is judged after the transcription, so that a Cancel during it suppresses its results;
// a stale recording is over, whether its transcription ran to its end or was stopped.
void RecognitionService::DeliverRecording(const TranscriptionJob& job) noexcept {
    const RecognitionCallbacks& callbacks = job.callbacks;
    std::optional<std::string> failure = job.transcript->failure;
    std::string text;
    if (!failure) {
        try {
            text = JoinChunkTexts(job.transcript->texts);
        } catch (...) {
            failure = CurrentErrorMessage();
        }
    }
    if (IsStale(job)) return Notify(callbacks.onFinished);
    if (failure) return Notify(callbacks.onStatus, kErrorPrefix + *failure);
    if (!text.empty()) Notify(callbacks.onText, text);
    Notify(callbacks.onStatus, text.empty() ? kNoSpeechStatus : kReadyStatus);
    Notify(callbacks.onFinished);
}

// The engine exists here: a job only comes from a recording that StartRecording began after a
// successful load, and the engine is never unloaded. The stop is reset while no other thread can
// reach it, then handed to the running job, which may have been abandoned already.
std::string RecognitionService::TranscribeStoppably(const std::vector<float>& samples) {
    if (!stop_) stop_ = std::make_unique<TranscriptionStop>();
    stop_->Reset();
    {
        std::lock_guard lock(queueMutex_);
        running_.AttachStop(stop_.get());
    }
    return engine_->Transcribe(samples, nullptr, stop_->RunOptions());
}

bool RecognitionService::IsStale(const TranscriptionJob& job) const {
    return job.generation != generation_.load();
}

}  // namespace orvello
