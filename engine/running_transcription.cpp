#include "engine/running_transcription.h"

namespace orvello {
namespace {

// A stop that cannot be requested (the runtime refused) leaves the run to end by itself; its
// results are discarded all the same.
void RequestQuietly(TranscriptionStop* stop) noexcept {
    if (!stop) return;
    try {
        stop->Request();
    } catch (...) {
    }
}

}  // namespace

void RunningTranscription::Begin(const RecordingTranscript* transcript) {
    *this = RunningTranscription{};
    transcript_ = transcript;
    counted_ = true;
}

void RunningTranscription::AttachStop(TranscriptionStop* stop) noexcept {
    stop_ = stop;
    if (abandoned_) RequestQuietly(stop_);
}

bool RunningTranscription::Finish() {
    const bool counted = counted_;
    *this = RunningTranscription{};
    return counted;
}

bool RunningTranscription::Abandon(const RecordingTranscript* transcript) noexcept {
    if (!transcript_ || (transcript && transcript != transcript_)) return false;
    abandoned_ = true;
    RequestQuietly(stop_);
    const bool counted = counted_;
    counted_ = false;
    return counted;
}

}  // namespace orvello
