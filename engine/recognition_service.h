#pragma once
// The engine controller the main window owns for the life of its model: it loads the speech
// engine on first need, records one push-to-talk utterance at a time on a recording thread and
// transcribes the finished recordings one after another on a worker thread, reporting progress
// through callbacks.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "audio/capture_stop_flag.h"
#include "audio/conditioning.h"
#include "audio/wave_in_device.h"
#include "engine/draft_policy.h"
#include "engine/model_files.h"
#include "engine/quiet_watch.h"
#include "engine/running_transcription.h"
#include "engine/transcription_chunks.h"
#include "engine/transcription_stop.h"

namespace orvello {

class ParakeetEngine;

// Two minutes of 16 kHz audio.
inline constexpr std::size_t kLongQuietSamples = 120 * 16'000;

struct RecognitionConfig {
    fs::path modelDirectory{};    // empty: the default search beside the program
    fs::path modelCacheFolder{};  // empty: the model cache is off (model_cache.h)
    // A line for the log about the model cache, which a load without it writes afterwards on a
    // thread of its own at low priority (a write that failed). That thread; may be empty.
    std::function<void(const std::string& note)> onModelCacheNote{};
    ConditioningSettings conditioning{};
    // Quiet without a break for this long is reported (onLongQuiet).
    std::size_t longQuietSamples = kLongQuietSamples;
    // Drafts at pauses (draft_policy.h); off, every part is transcribed once it is handed over.
    // The text is the same either way.
    bool draftsAtPauses = true;
};

// Each slot may be empty and is then not called. No callback runs on the caller's thread, and
// none may wait for it: StopRecording and Cancel block the caller until the recording thread
// has ended. An exception a callback throws is dropped.
struct RecognitionCallbacks {
    // A status line for the log: "[Recording...]", "[Ready]", "Error: ..." (narrow text; paths
    // and system texts in the system's ANSI code page). Recording and worker threads.
    std::function<void(const std::string& status)> onStatus{};
    // The recognised text, UTF-8, only when not empty. Worker thread.
    std::function<void(const std::string& text)> onText{};
    // Input level 0.0 to 1.0 of each captured buffer; 0.0 when a recording ends without a job.
    // Recording thread.
    std::function<void(float level)> onLevel{};
    // The capture device has been closed. Recording thread.
    std::function<void()> onCaptureEnded{};
    // The processing of the recording is over. Recording or worker thread.
    std::function<void()> onFinished{};
    // The recording has been quiet without a break for the configured time (quiet_watch.h); the
    // recording goes on. Again only after a window that is not quiet. Recording thread.
    std::function<void()> onLongQuiet{};
    // The text so far while the trigger is held, UTF-8: the texts of the parts already done and
    // the latest draft (draft_policy.h), joined as the final text is. After each draft that was
    // not stopped; never after the capture has been cancelled. Worker thread.
    std::function<void(const std::string& textSoFar)> onDraftText{};
};

// What a draft made of its audio, kept for the part it may stand in for.
struct FinishedDraft {
    DraftKey key{};
    std::string text{};
    double engineSeconds = 0;
};

// What the worker has made of the chunks of one recording so far. Only the worker touches it.
struct RecordingTranscript {
    std::vector<std::string> texts{};
    std::optional<std::string> failure{};  // of the chunk that failed; later ones are skipped
    std::optional<FinishedDraft> draft{};  // the latest draft of the part not yet done
};

// One chunk of a recording waiting for the worker. A recording longer than a chunk is handed over
// chunk by chunk while it is made; its last chunk, queued when the capture has ended, carries the
// callbacks and delivers the text of all its chunks. A recording of one chunk is one job.
struct TranscriptionJob {
    std::vector<float> samples{};      // 16 kHz mono; freed once transcribed
    RecognitionCallbacks callbacks{};  // the recording's, in its last chunk only
    std::uint64_t generation = 0;      // the service's generation when the recording started
    std::shared_ptr<RecordingTranscript> transcript{};  // shared by its chunks; set in every job
    bool lastChunk = true;
    DraftKey key{};  // the part's audio, as a draft of it would be keyed
};

// A draft the recording thread asks the worker for; it runs only while the worker has no job.
struct DraftJob {
    std::vector<float> samples{};  // the part so far, trimmed after its speech
    DraftKey key{};
    std::uint64_t generation = 0;
    std::shared_ptr<RecordingTranscript> transcript{};
    std::function<void(const std::string& textSoFar)> onDraftText{};
};

// What the worker has spent since the service started; for benchmarks and tests.
struct TranscriptionTally {
    int draftsRun = 0;        // drafts the engine ran, to their end or stopped
    int draftsStopped = 0;    // of those, stopped because they could no longer be used
    int partsFromDrafts = 0;  // parts and remainders whose text a draft gave, without a run
    int remaindersFromDrafts = 0;
    double draftEngineSeconds = 0;  // every draft's run
    double partEngineSeconds = 0;   // the parts' own runs, and the runs of the drafts they reused
};

// Makes the wave-input device of one recording: the Windows multimedia device in the program,
// a scripted device in tests. Throws when it cannot.
using WaveInDeviceFactory = std::function<std::unique_ptr<WaveInDevice>()>;

// Every member function is called from one thread, the owner's (the main window's). A recording
// longer than 30 s is cut into chunks of at most 30 s in its pauses (transcription_chunks.h), and
// each chunk is transcribed while the user still speaks, so that at the release at most one chunk
// is left. While the trigger is held and the user pauses, the idle worker transcribes the part so
// far (a draft, draft_policy.h); a part handed over with exactly that audio takes the draft's text
// without another run, so a hold that ends in a pause has its text at the release. The recording
// is still delivered once, as one text, with the callbacks and in the order of a recording
// transcribed after its release, whether its texts came from drafts or not. A cancel discards
// its chunks, its drafts and their texts.
class RecognitionService {
public:
    // Resolves the model directory and starts the worker thread; does not load the model.
    // Throws std::system_error when the thread cannot be started.
    RecognitionService(RecognitionConfig config, WaveInDeviceFactory makeDevice);
    RecognitionService(const RecognitionService&) = delete;
    RecognitionService& operator=(const RecognitionService&) = delete;
    // Cancels, then waits for the worker, which finishes a transcription in progress first, and
    // for the model cache's writing after a first load.
    ~RecognitionService();

    // Loads the engine unless it is loaded. Throws EngineError "Model directory not found: <dir>"
    // or the engine's own error; the next call tries again.
    void EnsureModelLoaded();
    // The loaded engine's note for the log (ParakeetEngine::loadNote); empty before a load.
    [[nodiscard]] std::string ModelLoadNote() const;
    // The loaded model's name as DescribeModel gives it; empty before a load.
    [[nodiscard]] std::string ModelDescription() const;

    // Loads the engine if needed (its errors reach the caller, and nothing starts), then starts
    // a recording from the wave-input device, unless one is running: then nothing happens and
    // these callbacks are dropped. Throws std::system_error when the thread cannot be started.
    void StartRecording(std::uint32_t deviceId, RecognitionCallbacks callbacks);
    // Ends the capture; returns once the device is closed and the job, if any, is queued.
    void StopRecording();
    // Discards the current recording and every queued job, and stops a running transcription:
    // the service is ready for the next recording at once, while the worker drops what it ran.
    void Cancel();

    [[nodiscard]] bool IsRecording() const { return recording_.load(); }
    // Recording, or a job queued or being transcribed.
    [[nodiscard]] bool IsBusy() const { return busy_.load(); }
    // Jobs waiting for the worker, chunks of a recording still being made included; a job being
    // transcribed is no longer counted. Tells tests and benchmarks whether the worker keeps up.
    [[nodiscard]] std::size_t QueuedJobs() const;
    [[nodiscard]] TranscriptionTally Tally() const;

    // A change takes effect with the next recording. Never waits for a transcription.
    [[nodiscard]] ConditioningSettings GetConditioning() const;
    void SetConditioning(const ConditioningSettings& settings);

    [[nodiscard]] const fs::path& ModelDirectory() const { return modelDirectory_; }

private:
    // The recording thread's view of its recording: the chunks not yet handed over.
    struct RecordingInProgress {
        std::uint64_t generation = 0;
        ConditioningSettings conditioning{};  // where its speech ends depends on them
        ChunkCutter cutter{};
        std::shared_ptr<RecordingTranscript> transcript = std::make_shared<RecordingTranscript>();
        bool anySample = false;
        QuietWatch quiet;
        PartSpeechTracker speech{conditioning};
        DraftPolicy drafts{};
        bool draftsAtPauses = true;
    };

    // The draft the worker is running, as the other threads see it; guarded by the queue lock.
    struct RunningDraft {
        const RecordingTranscript* transcript = nullptr;  // null while none runs
        DraftKey key{};
        TranscriptionStop* stop = nullptr;  // once its run is about to start
        bool stopped = false;
    };

    void RecordingThreadMain(std::uint32_t deviceId, const RecognitionCallbacks& callbacks,
                             const ConditioningSettings& settings,
                             std::uint64_t generation) noexcept;
    // The error that ended the capture, if one did.
    [[nodiscard]] std::optional<std::string> CaptureWithoutThrowing(
        std::uint32_t deviceId, const ConditioningSettings& settings,
        const RecognitionCallbacks& callbacks, RecordingInProgress& recording) noexcept;
    void HandOverFinishedChunks(RecordingInProgress& recording, std::span<const float> samples);
    void ConsiderDraft(RecordingInProgress& recording, const RecognitionCallbacks& callbacks);
    void RequestDraft(RecordingInProgress& recording, const RecognitionCallbacks& callbacks);
    [[nodiscard]] bool CheckDraftsOf(const RecordingInProgress& recording);
    [[nodiscard]] std::optional<std::string> StatusOfRecordingWithoutJob(
        const std::optional<std::string>& captureFailure,
        const RecordingInProgress& recording) const;
    void EndRecordingWithoutJob(const RecognitionCallbacks& callbacks,
                                const std::string& status) noexcept;
    void QueueLastChunk(TranscriptionJob job) noexcept;
    void PushJob(TranscriptionJob&& job);
    void JoinRecordingThread();
    void DiscardQueuedJobs();
    void DiscardQueuedChunksOf(const RecordingTranscript& transcript) noexcept;
    // Under the queue lock: drops the draft asked for and stops the running one, of `transcript`
    // (or of any recording when null).
    void DiscardDraftsOf(const RecordingTranscript* transcript) noexcept;
    void StopRunningDraft() noexcept;
    void RecomputeBusy();
    void StartWritingModelCache();

    void WorkerThreadMain() noexcept;
    [[nodiscard]] bool WaitForWork(TranscriptionJob& job, std::optional<DraftJob>& draft);
    void RunDraft(DraftJob& draft) noexcept;
    [[nodiscard]] std::optional<std::string> RunDraftStoppably(const DraftJob& draft, bool& ran);
    void KeepDraft(const DraftJob& draft, std::string text, double engineSeconds) noexcept;
    void FinishDraft();
    [[nodiscard]] bool TakeReusableDraft(TranscriptionJob& job);
    void ProcessJob(TranscriptionJob& job) noexcept;
    void TranscribeChunk(TranscriptionJob& job) noexcept;
    void DeliverRecording(const TranscriptionJob& job) noexcept;
    [[nodiscard]] std::string TranscribeStoppably(const std::vector<float>& samples);
    void FinishRunningJob();
    [[nodiscard]] bool IsStale(std::uint64_t generation) const;

    const WaveInDeviceFactory makeDevice_;
    const fs::path modelDirectory_;  // resolved once, at construction
    const std::size_t longQuietSamples_;
    const bool draftsAtPauses_;

    // The engine's loading. Only the worker transcribes, one job at a time, without a lock: the
    // engine exists before the first job and is never unloaded.
    mutable std::mutex engineMutex_;
    std::unique_ptr<ParakeetEngine> engine_;
    std::unique_ptr<TranscriptionStop> stop_;       // the worker's, made with its first job
    std::unique_ptr<TranscriptionStop> draftStop_;  // the worker's, made with its first draft

    mutable std::mutex settingsMutex_;  // the configuration
    RecognitionConfig config_;

    // The job queue, the running job and the shutdown flag; never held with another lock.
    mutable std::mutex queueMutex_;
    std::condition_variable workerSignal_;
    std::deque<TranscriptionJob> jobs_;
    RunningTranscription running_;
    std::optional<DraftJob> draftRequest_;  // at most one, taken only while no job waits
    RunningDraft runningDraft_;
    bool workerBusy_ = false;  // with a job or a draft
    TranscriptionTally tally_;
    std::atomic<bool> shutdown_{false};

    CaptureStopFlag stopRequested_;
    std::atomic<bool> cancelRequested_{false};
    std::atomic<bool> recording_{false};
    std::atomic<std::uint64_t> generation_{0};  // incremented by every Cancel
    std::atomic<std::int32_t> pending_{0};  // jobs queued or being transcribed, unless abandoned
    std::atomic<bool> busy_{false};
    std::mutex busyMutex_;  // orders the recomputations of busy, so the last one stands

    std::thread recordingThread_;
    std::thread modelCacheWriter_;  // saves what a load without the cache prepared
    std::thread workerThread_;      // last: started when everything else exists
};

}  // namespace orvello
