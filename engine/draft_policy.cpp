#include "engine/draft_policy.h"

namespace orvello {

// Only the windows completed since the last call are judged; a partial window waits for the rest.
void PartSpeechTracker::Update(std::span<const float> part) {
    const std::size_t whole = part.size() - part.size() % kSpeechWindowSamples;
    for (std::size_t begin = now_.partSamples; begin < whole; begin += kSpeechWindowSamples) {
        const std::size_t end = begin + kSpeechWindowSamples;
        if (!IsQuietWindow(part.subspan(begin, kSpeechWindowSamples), conditioning_)) {
            now_.key.speechEnd = end;
        }
        now_.partSamples = end;
    }
    now_.quietAfter = now_.partSamples - now_.key.speechEnd;
}

void PartSpeechTracker::StartNextPart() {
    now_ = PartSpeech{.key = {.part = now_.key.part + 1}};
}

std::size_t DraftPolicy::PauseNeeded(const PartSpeech& now) const {
    const std::size_t drafted = now.key.part == part_ ? draftedSamples_ : 0;
    return drafted <= now.key.speechEnd ? limits_.firstPauseSamples : limits_.longPauseSamples;
}

bool DraftPolicy::ShouldStart(const PartSpeech& now, bool workerIdle) const {
    if (!workerIdle || now.key.speechEnd == 0) return false;
    const bool covered = now.key.part == part_ && now.key.speechEnd == coveredSpeechEnd_;
    return !covered && now.quietAfter >= PauseNeeded(now);
}

void DraftPolicy::Started(const PartSpeech& now) {
    if (now.key.part != part_) draftedSamples_ = 0;
    part_ = now.key.part;
    coveredSpeechEnd_ = now.key.speechEnd;
    draftedSamples_ += now.key.speechEnd;
}

bool CanReuseDraft(const DraftKey& draft, const DraftKey& handedOver) {
    return draft.speechEnd > 0 && draft == handedOver;
}

bool DraftOutdated(const DraftKey& draft, const PartSpeech& now) {
    return now.key.part == draft.part && now.key.speechEnd != draft.speechEnd;
}

}  // namespace orvello
