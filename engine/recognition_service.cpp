#include "engine/recognition_service.h"

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <exception>
#include <string>
#include <utility>

#include "audio/audio_capture.h"
#include "engine/background_priority.h"
#include "engine/engine_error.h"
#include "engine/model_identity.h"
#include "engine/parakeet_engine.h"
#include "engine/recognition_notify.h"
#include "engine/speech_end.h"

namespace orvello {
namespace {

using namespace recognition;

fs::path ResolveModelDirectory(const fs::path& configured) {
    return configured.empty() ? DefaultModelDirectory() : configured;
}

}  // namespace

RecognitionService::RecognitionService(RecognitionConfig config, WaveInDeviceFactory makeDevice)
    : makeDevice_(std::move(makeDevice)),
      modelDirectory_(ResolveModelDirectory(config.modelDirectory)),
      longQuietSamples_(config.longQuietSamples),
      draftsAtPauses_(config.draftsAtPauses),
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

TranscriptionTally RecognitionService::Tally() const {
    std::lock_guard lock(queueMutex_);
    return tally_;
}

// The caller has counted the job as pending. A job goes before any draft: the draft asked for
// is dropped, and the running one stopped unless the job is its audio, which waits for it.
void RecognitionService::PushJob(TranscriptionJob&& job) {
    {
        std::lock_guard lock(queueMutex_);
        jobs_.push_back(std::move(job));
        const TranscriptionJob& queued = jobs_.back();
        draftRequest_.reset();
        const bool reusable = runningDraft_.transcript == queued.transcript.get() &&
                              CanReuseDraft(runningDraft_.key, queued.key);
        if (runningDraft_.transcript && !reusable) StopRunningDraft();
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
        DiscardDraftsOf(nullptr);
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
        DiscardDraftsOf(&transcript);
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
    std::optional<DraftJob> draft;
    while (WaitForWork(job, draft)) {
        if (draft) {
            RunDraft(*draft);
            draft.reset();
            FinishDraft();
            continue;
        }
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
        workerBusy_ = false;
    }
    if (!counted) return;
    pending_.fetch_sub(1);
    RecomputeBusy();
}

// Takes the next job, or else the draft asked for; false once shutdown is set and the queue is
// empty, so that jobs queued before the shutdown are still processed.
bool RecognitionService::WaitForWork(TranscriptionJob& job, std::optional<DraftJob>& draft) {
    std::unique_lock lock(queueMutex_);
    workerSignal_.wait(
        lock, [this] { return shutdown_.load() || !jobs_.empty() || draftRequest_.has_value(); });
    if (jobs_.empty()) {
        if (shutdown_.load() || !draftRequest_) return false;
        draft = std::exchange(draftRequest_, std::nullopt);
        runningDraft_ = RunningDraft{.transcript = draft->transcript.get(), .key = draft->key};
        workerBusy_ = true;
        return true;
    }
    job = std::move(jobs_.front());
    jobs_.pop_front();
    running_.Begin(job.transcript.get());
    workerBusy_ = true;
    return true;
}

void RecognitionService::ProcessJob(TranscriptionJob& job) noexcept {
    TranscribeChunk(job);
    if (job.lastChunk) DeliverRecording(job);
}

// The chunks of a recording that has gone stale, or whose earlier chunk failed, are not
// transcribed. An empty chunk has nothing to say. A chunk whose audio a draft transcribed takes
// the draft's text.
void RecognitionService::TranscribeChunk(TranscriptionJob& job) noexcept {
    RecordingTranscript& transcript = *job.transcript;
    const bool reused = TakeReusableDraft(job);
    if (reused || IsStale(job.generation) || transcript.failure || job.samples.empty()) return;
    try {
        const auto start = std::chrono::steady_clock::now();
        transcript.texts.push_back(TranscribeStoppably(job.samples));
        const std::chrono::duration<double> engineTime = std::chrono::steady_clock::now() - start;
        std::lock_guard lock(queueMutex_);
        tally_.partEngineSeconds += engineTime.count();
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
    if (IsStale(job.generation)) return Notify(callbacks.onFinished);
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

bool RecognitionService::IsStale(std::uint64_t generation) const {
    return generation != generation_.load();
}

}  // namespace orvello
