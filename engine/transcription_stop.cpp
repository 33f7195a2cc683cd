#include "engine/transcription_stop.h"

#include "engine/engine_error.h"

namespace orvello {

TranscriptionStop::TranscriptionStop() {
    OrtRunOptions* options = nullptr;
    ThrowIfFailed(Ort().CreateRunOptions(&options));
    runOptions_.reset(options);
}

void TranscriptionStop::Request() {
    ThrowIfFailed(Ort().RunOptionsSetTerminate(runOptions_.get()));
}

void TranscriptionStop::Reset() {
    ThrowIfFailed(Ort().RunOptionsUnsetTerminate(runOptions_.get()));
}

}  // namespace orvello
