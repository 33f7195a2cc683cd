#pragma once
// Drafts at pauses: while the trigger is held and the user pauses, the worker, which has nothing
// else to do, transcribes the current part so far (the audio since the last 30 s cut, up to the
// end of its speech, speech_end.h): a draft. If nothing that is not quiet follows before the part
// is handed over, the part's audio is exactly the draft's, and the draft's text is the part's
// without another engine run; so the text is ready when the trigger comes up. This file decides
// when a draft starts, when a running one is no longer of use and when one can be reused; the
// recognition service runs them.
//
// The cost: a draft at every pause of a long part would transcribe its beginning again and again.
// So a part's drafts may together cover at most as much audio as the newest one: a draft starts
// at the first quiet window only while the part's earlier drafts cover no more audio than it
// would; beyond that only after a long pause (half a second), which mostly ends a phrase. The
// drafts of a part then cost about twice its own run at most, unless the user makes long pauses
// often; no audio is drafted twice.
#include <cstddef>
#include <cstdint>
#include <span>

#include "audio/conditioning.h"
#include "engine/speech_end.h"

namespace orvello {

// The audio a draft or a handed-over part stands for: a part of a recording (counted from 0, a
// new one after each cut) up to the end of its speech. Equal keys mean equal trimmed audio.
struct DraftKey {
    std::uint64_t part = 0;
    std::size_t speechEnd = 0;  // samples from the start of the part; 0: no speech
    friend bool operator==(const DraftKey&, const DraftKey&) = default;
};

// The current part as the recording thread has seen it so far, in whole 100 ms windows.
struct PartSpeech {
    DraftKey key{};               // its speech so far
    std::size_t quietAfter = 0;   // samples of the quiet windows after the speech
    std::size_t partSamples = 0;  // samples in whole windows
};

// Follows the speech of the current part window by window as the recording grows, judging each
// window once. Its windows count from the part's start, as SpeechEndSamples counts them.
class PartSpeechTracker {
public:
    explicit PartSpeechTracker(const ConditioningSettings& conditioning)
        : conditioning_(conditioning) {}

    // The samples of the current part since its start (more each time, until the next cut).
    void Update(std::span<const float> part);
    // The part was handed over; the next one starts with the samples after its cut.
    void StartNextPart();
    [[nodiscard]] const PartSpeech& Now() const { return now_; }

private:
    ConditioningSettings conditioning_;
    PartSpeech now_{};
};

struct DraftLimits {
    std::size_t firstPauseSamples = kSpeechWindowSamples;  // 100 ms: one quiet window
    std::size_t longPauseSamples = 8'000;                  // 500 ms
};

// The decisions of one recording's drafts, on its recording thread.
class DraftPolicy {
public:
    explicit DraftPolicy(const DraftLimits& limits = {}) : limits_(limits) {}

    // Whether to start a draft of `now` while the trigger is held: the part has speech that no
    // draft has covered, the pause after it is long enough, and the worker has nothing to do.
    [[nodiscard]] bool ShouldStart(const PartSpeech& now, bool workerIdle) const;
    // A draft of `now` has been started.
    void Started(const PartSpeech& now);
    // The quiet needed before a draft of `now`.
    [[nodiscard]] std::size_t PauseNeeded(const PartSpeech& now) const;

private:
    DraftLimits limits_;
    std::uint64_t part_ = 0;
    std::size_t coveredSpeechEnd_ = 0;  // of the part's latest draft
    std::size_t draftedSamples_ = 0;    // of all the part's drafts
};

// Whether a part or remainder handed over as `handedOver` gets the text of the draft `draft`:
// it is the same audio, so a run would give the same text.
[[nodiscard]] bool CanReuseDraft(const DraftKey& draft, const DraftKey& handedOver);

// Whether a draft running for `draft` can no longer be used now that the recording is at `now`:
// new speech came in its part. (A part it does not match being handed over, and a cancel, stop it
// too; the service sees those itself.)
[[nodiscard]] bool DraftOutdated(const DraftKey& draft, const PartSpeech& now);

}  // namespace orvello
