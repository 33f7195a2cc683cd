#pragma once
// Stops a running transcription from another thread. Every runtime Run of the transcription is
// given this stop's run options; once the stop is requested, the Run in progress fails at its
// next step and every later one at once, so the transcription ends with an error within moments
// instead of running to its end.
#include "engine/ort_handles.h"

namespace orvello {

class TranscriptionStop {
public:
    // Throws EngineError when the runtime cannot make the run options.
    TranscriptionStop();

    // Any thread; the transcription using the run options fails soon after.
    void Request();
    // Makes the run options usable for the next transcription. Not while one runs.
    void Reset();

    [[nodiscard]] const OrtRunOptions* RunOptions() const { return runOptions_.get(); }

private:
    OrtRunOptionsPtr runOptions_;
};

}  // namespace orvello
