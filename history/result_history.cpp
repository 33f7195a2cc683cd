#include "history/result_history.h"

#include <utility>

namespace orvello {

std::u16string_view OutcomeLabel(ResultOutcome outcome) {
    switch (outcome) {
        case ResultOutcome::Typed:
            return u"Typed";
        case ResultOutcome::Pasted:
            return u"Pasted";
        case ResultOutcome::Ran:
            return u"Ran";
        case ResultOutcome::HeldBack:
            return u"Held back";
        case ResultOutcome::NoCommand:
            return u"No command";
        case ResultOutcome::TypingFailed:
            return u"Not typed";
        case ResultOutcome::CommandFailed:
            return u"Command failed";
    }
    return u"";
}

void ResultHistory::Add(HistoryEntry entry) {
    entries_.push_front(std::move(entry));
    DropBeyondCapacity();
}

void ResultHistory::Replace(std::deque<HistoryEntry> entries) {
    entries_ = std::move(entries);
    DropBeyondCapacity();
}

void ResultHistory::DropBeyondCapacity() {
    if (entries_.size() > kHistoryCapacity) entries_.resize(kHistoryCapacity);
}

}  // namespace orvello
