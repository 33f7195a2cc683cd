#pragma once
// The transcription the recognition service's worker is running, as the other threads see it:
// whose recording it belongs to, whether it still keeps the service busy, and how to stop it. A
// cancel, a failed capture or the service's end abandons it: the run is stopped through its run
// options and stops counting as pending at once, so the service is ready for the next recording
// while the worker is still unwinding. Not thread-safe by itself: the service guards it with its
// queue lock, under which the worker also takes its jobs, so no job is ever taken unseen.
#include "engine/transcription_stop.h"

namespace orvello {

struct RecordingTranscript;

class RunningTranscription {
public:
    // Worker, on taking a job of `transcript`: the job counts as pending until Finish or Abandon.
    void Begin(const RecordingTranscript* transcript);
    // Worker, before each engine run of the job: the stop to request; requested at once when the
    // job has been abandoned already.
    void AttachStop(TranscriptionStop* stop) noexcept;
    // Worker, once the job is done: whether it still counted as pending, which it no longer does.
    [[nodiscard]] bool Finish();
    // Stops the running job when it belongs to `transcript` (or to any recording when null);
    // whether it counted as pending, which it no longer does.
    [[nodiscard]] bool Abandon(const RecordingTranscript* transcript = nullptr) noexcept;

private:
    const RecordingTranscript* transcript_ = nullptr;  // null while no job runs
    TranscriptionStop* stop_ = nullptr;
    bool counted_ = false;
    bool abandoned_ = false;
};

}  // namespace orvello
