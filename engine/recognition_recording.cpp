// The recognition service's recording thread: it captures one recording, hands each finished
// 30 s part to the worker, asks the idle worker for drafts at pauses and stops drafts that the
// recording has left behind, and queues the remainder at the release.
#include <exception>
#include <string>
#include <utility>

#include "audio/audio_capture.h"
#include "engine/engine_error.h"
#include "engine/recognition_notify.h"
#include "engine/recognition_service.h"
#include "engine/speech_end.h"

namespace orvello {

using namespace recognition;

// The recording thread. Its last chunk is counted as pending before the recording flag drops, so
// busy stays set from the start of the recording to the end of its job. A recording that ends
// without a job takes back the chunks it handed over that the worker has not taken yet, and its
// drafts.
void RecognitionService::RecordingThreadMain(std::uint32_t deviceId,
                                             const RecognitionCallbacks& callbacks,
                                             const ConditioningSettings& settings,
                                             std::uint64_t generation) noexcept {
    Notify(callbacks.onStatus, kRecordingStatus);
    RecordingInProgress recording{.generation = generation,
                                  .conditioning = settings,
                                  .quiet = QuietWatch(settings, longQuietSamples_),
                                  .draftsAtPauses = draftsAtPauses_};
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
    std::vector<float> rest = recording.cutter.TakeRest();
    const DraftKey key{.part = recording.speech.Now().key.part,
                       .speechEnd = SpeechEndSamples(rest, recording.conditioning)};
    QueueLastChunk(
        TranscriptionJob{.samples = TrimAfterSpeech(std::move(rest), recording.conditioning),
                         .callbacks = callbacks,
                         .generation = generation,
                         .transcript = recording.transcript,
                         .key = key});
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
                           ConsiderDraft(recording, callbacks);
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
        const DraftKey key{.part = recording.speech.Now().key.part,
                           .speechEnd = SpeechEndSamples(chunk, recording.conditioning)};
        recording.speech.StartNextPart();
        pending_.fetch_add(1);
        RecomputeBusy();
        try {
            PushJob(TranscriptionJob{
                .samples = TrimAfterSpeech(std::move(chunk), recording.conditioning),
                .generation = recording.generation,
                .transcript = recording.transcript,
                .lastChunk = false,
                .key = key});
        } catch (...) {
            pending_.fetch_sub(1);
            RecomputeBusy();
            throw;
        }
    }
    recording.speech.Update(recording.cutter.Pending());
}

// A draft is a help, never a need: one that cannot be made (no memory) is left out.
void RecognitionService::ConsiderDraft(RecordingInProgress& recording,
                                       const RecognitionCallbacks& callbacks) {
    if (!recording.draftsAtPauses) return;
    const bool workerIdle = CheckDraftsOf(recording);
    if (!recording.drafts.ShouldStart(recording.speech.Now(), workerIdle)) return;
    try {
        RequestDraft(recording, callbacks);
    } catch (...) {
    }
}

// Stops the recording's draft, running or asked for, once new speech has come in its part;
// whether the worker is idle then: no job, no draft running or asked for.
bool RecognitionService::CheckDraftsOf(const RecordingInProgress& recording) {
    const PartSpeech& now = recording.speech.Now();
    std::lock_guard lock(queueMutex_);
    if (runningDraft_.transcript == recording.transcript.get() &&
        DraftOutdated(runningDraft_.key, now)) {
        StopRunningDraft();
    }
    if (draftRequest_ && DraftOutdated(draftRequest_->key, now)) draftRequest_.reset();
    return jobs_.empty() && !workerBusy_ && !draftRequest_;
}

// The draft's audio is the part so far up to its speech end, trimmed as the part will be.
void RecognitionService::RequestDraft(RecordingInProgress& recording,
                                      const RecognitionCallbacks& callbacks) {
    const PartSpeech& now = recording.speech.Now();
    const std::span<const float> part = recording.cutter.Pending().first(now.key.speechEnd);
    DraftJob draft{.samples = TrimAfterSpeech({part.begin(), part.end()}, recording.conditioning),
                   .key = now.key,
                   .generation = recording.generation,
                   .transcript = recording.transcript,
                   .onDraftText = callbacks.onDraftText};
    {
        std::lock_guard lock(queueMutex_);
        draftRequest_ = std::move(draft);
    }
    recording.drafts.Started(now);
    workerSignal_.notify_one();
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

}  // namespace orvello
