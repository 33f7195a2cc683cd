#include "output/clipboard_restore_plan.h"

namespace orvello {

bool ClipboardRestorePlan::MustSave(std::uint32_t sequenceNow) const {
    return !HoldsDictation(sequenceNow);
}

void ClipboardRestorePlan::Pasted(std::uint32_t sequenceAfterPaste) {
    pending_ = true;
    dictationSequence_ = sequenceAfterPaste;
    failedOpens_ = 0;
}

bool ClipboardRestorePlan::HoldsDictation(std::uint32_t sequenceNow) const {
    return pending_ && sequenceNow == dictationSequence_;
}

RestoreNext ClipboardRestorePlan::Attempted(RestoreAttempt attempt) {
    if (!pending_) return RestoreNext::Finished;
    if (attempt == RestoreAttempt::NotOpened && ++failedOpens_ < kOpenAttempts) {
        return RestoreNext::RetrySoon;
    }
    pending_ = false;
    return attempt == RestoreAttempt::NotOpened ? RestoreNext::GiveUp : RestoreNext::Finished;
}

}  // namespace orvello
