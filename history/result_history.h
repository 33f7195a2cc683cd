#pragma once
// The history of results: what became of the latest recognised texts, newest first, so that a
// text typed into the wrong window (or into none) can be found and copied again. It lives in
// memory; keeping it between sessions is the caller's (history_file_format.h gives its file).
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace orvello {

// What became of one recognised text.
enum class ResultOutcome {
    Typed,          // typed into the window in front
    Pasted,         // pasted through the clipboard ("Use Paste")
    Ran,            // a voice command matched and ran
    HeldBack,       // Orvello's own window was in front: only logged
    NoCommand,      // said with the command trigger, and no command matched
    TypingFailed,   // typing or pasting was refused
    CommandFailed,  // a voice command matched but could not run
};

// The outcome as the History dialog shows it: "Typed", "Pasted", "Ran", "Held back",
// "No command", "Not typed", "Command failed".
[[nodiscard]] std::u16string_view OutcomeLabel(ResultOutcome outcome);

struct HistoryEntry {
    std::int64_t timeUtcSeconds = 0;  // when the text was routed, seconds since 1970 (UTC)
    ResultOutcome outcome = ResultOutcome::Typed;
    std::u16string text;  // as recognised, without "Add Space" or "Add New Line"

    friend bool operator==(const HistoryEntry&, const HistoryEntry&) = default;
};

// At most this many entries are kept; the oldest go first.
inline constexpr std::size_t kHistoryCapacity = 100;

class ResultHistory {
public:
    // Puts the entry first, dropping the oldest beyond the capacity.
    void Add(HistoryEntry entry);
    // Takes over entries that are already newest first (a loaded file), up to the capacity.
    void Replace(std::deque<HistoryEntry> entries);
    void Clear() { entries_.clear(); }

    // Newest first.
    [[nodiscard]] const std::deque<HistoryEntry>& Entries() const { return entries_; }

private:
    void DropBeyondCapacity();  // the oldest, at the back

    std::deque<HistoryEntry> entries_;
};

}  // namespace orvello
