// The recognition service's drafts on the worker's side: running the draft the recording thread
// asked for (stoppably, since a part or new speech may make it useless), keeping its text for the
// part it may stand in for and reporting the text so far, and giving a handed-over part the text
// of the draft of its audio. When to draft is draft_policy.h's decision.
#include <chrono>
#include <string>
#include <utility>

#include "engine/engine_error.h"
#include "engine/parakeet_engine.h"
#include "engine/recognition_notify.h"
#include "engine/recognition_service.h"

namespace orvello {

using namespace recognition;

void RecognitionService::DiscardDraftsOf(const RecordingTranscript* transcript) noexcept {
    if (draftRequest_ && (!transcript || draftRequest_->transcript.get() == transcript)) {
        draftRequest_.reset();
    }
    if (runningDraft_.transcript && (!transcript || runningDraft_.transcript == transcript)) {
        StopRunningDraft();
    }
}

// A stop that cannot be requested (the runtime refused) leaves the run to end by itself; its text
// is dropped all the same.
void RecognitionService::StopRunningDraft() noexcept {
    runningDraft_.stopped = true;
    if (!runningDraft_.stop) return;
    try {
        runningDraft_.stop->Request();
    } catch (...) {
    }
}

// A draft that fails or is stopped has nothing to keep: the part is then transcribed itself, and
// reports its own error if it has one.
void RecognitionService::RunDraft(DraftJob& draft) noexcept {
    if (IsStale(draft.generation)) return;
    const auto start = std::chrono::steady_clock::now();
    std::optional<std::string> text;
    bool ran = false;
    try {
        text = RunDraftStoppably(draft, ran);
    } catch (...) {
    }
    const std::chrono::duration<double> engineTime = std::chrono::steady_clock::now() - start;
    bool stopped = false;
    {
        std::lock_guard lock(queueMutex_);
        stopped = runningDraft_.stopped;
        if (ran) {
            ++tally_.draftsRun;
            tally_.draftEngineSeconds += engineTime.count();
            if (stopped) ++tally_.draftsStopped;
        }
    }
    if (text && !stopped) KeepDraft(draft, std::move(*text), engineTime.count());
}

// None when the draft was stopped before its run. The stop is reset while no other thread can
// reach it, then handed to the running draft. The engine exists here as for any job.
std::optional<std::string> RecognitionService::RunDraftStoppably(const DraftJob& draft, bool& ran) {
    if (!draftStop_) draftStop_ = std::make_unique<TranscriptionStop>();
    draftStop_->Reset();
    {
        std::lock_guard lock(queueMutex_);
        if (runningDraft_.stopped) return std::nullopt;
        runningDraft_.stop = draftStop_.get();
    }
    ran = true;
    return engine_->Transcribe(draft.samples, nullptr, draftStop_->RunOptions());
}

void RecognitionService::KeepDraft(const DraftJob& draft, std::string text,
                                   double engineSeconds) noexcept {
    RecordingTranscript& transcript = *draft.transcript;
    if (IsStale(draft.generation) || transcript.failure) return;
    try {
        transcript.draft = FinishedDraft{
            .key = draft.key, .text = std::move(text), .engineSeconds = engineSeconds};
        if (!draft.onDraftText) return;
        std::vector<std::string> texts = transcript.texts;
        texts.push_back(transcript.draft->text);
        Notify(draft.onDraftText, JoinChunkTexts(texts));
    } catch (...) {
    }
}

void RecognitionService::FinishDraft() {
    std::lock_guard lock(queueMutex_);
    runningDraft_ = RunningDraft{};
    workerBusy_ = false;
}

// Whether the job took the text of the draft of its audio; a draft of any other audio is of no
// more use once a part has been handed over.
bool RecognitionService::TakeReusableDraft(TranscriptionJob& job) {
    RecordingTranscript& transcript = *job.transcript;
    std::optional<FinishedDraft> draft = std::exchange(transcript.draft, std::nullopt);
    if (!draft || IsStale(job.generation) || transcript.failure ||
        !CanReuseDraft(draft->key, job.key)) {
        return false;
    }
    try {
        transcript.texts.push_back(std::move(draft->text));
    } catch (...) {
        transcript.failure = CurrentErrorMessage();
    }
    job.samples = {};
    std::lock_guard lock(queueMutex_);
    ++tally_.partsFromDrafts;
    if (job.lastChunk) ++tally_.remaindersFromDrafts;
    tally_.partEngineSeconds += draft->engineSeconds;
    return true;
}

}  // namespace orvello
