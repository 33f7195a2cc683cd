#pragma once
// When the user's clipboard goes back after a dictation was pasted through it. Windows raises
// the clipboard's sequence number at every change of its contents, so the number read right after
// the dictation went on tells whether the clipboard still holds it: only then is the user's own
// content put back, and only then is it the one to save before a further paste.
#include <cstdint>

namespace orvello {

// How one attempt to put the user's clipboard back went.
enum class RestoreAttempt {
    NotOpened,         // another program held the clipboard open
    ChangedMeanwhile,  // something else has put its content there since the paste: left alone
    PartlyRestored,    // some formats were refused
    Restored,
};

// What follows an attempt.
enum class RestoreNext {
    Finished,   // nothing is pending any more
    RetrySoon,  // the clipboard was busy: try again shortly
    GiveUp,     // it stayed busy through every attempt: nothing is pending any more
};

class ClipboardRestorePlan {
public:
    // Attempts to open the clipboard for one restore, 50 ms apart after the first: a second in all.
    static constexpr int kOpenAttempts = 20;

    // Before a paste: true when the clipboard holds the user's content and must be saved first;
    // false while it still holds the previous dictation, whose saved content stays the one to
    // put back.
    [[nodiscard]] bool MustSave(std::uint32_t sequenceNow) const;
    // A dictation went on the clipboard, whose sequence number is now `sequenceAfterPaste`: a
    // restore is pending.
    void Pasted(std::uint32_t sequenceAfterPaste);
    // Forgets a pending restore.
    void Drop() { pending_ = false; }

    [[nodiscard]] bool Pending() const { return pending_; }
    // The sequence number the clipboard has while it still holds the dictation.
    [[nodiscard]] std::uint32_t DictationSequence() const { return dictationSequence_; }
    // Whether the clipboard holds a dictation in transit rather than what the user copied.
    [[nodiscard]] bool HoldsDictation(std::uint32_t sequenceNow) const;

    [[nodiscard]] RestoreNext Attempted(RestoreAttempt attempt);

private:
    bool pending_ = false;
    std::uint32_t dictationSequence_ = 0;
    int failedOpens_ = 0;
};

}  // namespace orvello
