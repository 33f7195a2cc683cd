#include "replacements/replacement_matcher.h"

#include <algorithm>

#include "text/case_folding.h"

namespace orvello {
namespace {

bool IsSpace(char16_t unit) {
    return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n' || unit == 0x00A0 ||
           unit == 0x202F;
}

bool IsLineBreak(char16_t unit) {
    return unit == u'\r' || unit == u'\n';
}

// Trimmed, each run of white space as one space, letter case folded.
std::u16string NormalizedPattern(std::u16string_view written) {
    std::u16string pattern;
    bool spacePending = false;
    for (const char16_t unit : written) {
        if (IsSpace(unit)) {
            spacePending = !pattern.empty();
            continue;
        }
        if (spacePending) pattern += u' ';
        spacePending = false;
        pattern += FoldCase(unit);
    }
    return pattern;
}

// The word units from `position` on, folded: empty when a sign or space stands there.
std::u16string FoldedWordAt(std::u16string_view text, std::size_t position) {
    std::size_t end = position;
    while (end < text.size() && IsWordUnit(text[end])) ++end;
    return FoldCase(text.substr(position, end - position));
}

bool StartsWord(std::u16string_view text, std::size_t position) {
    return IsWordUnit(text[position]) && (position == 0 || !IsWordUnit(text[position - 1]));
}

// Where the pattern, laid over the text at `position`, ends in the text; npos when it does not
// fit there.
std::size_t MatchEnd(std::u16string_view pattern, std::u16string_view text, std::size_t position) {
    std::size_t at = position;
    for (const char16_t unit : pattern) {
        if (at >= text.size()) return std::u16string_view::npos;
        if (unit == u' ') {
            if (!IsSpace(text[at])) return std::u16string_view::npos;
            while (at < text.size() && IsSpace(text[at])) ++at;
        } else if (FoldCase(text[at++]) != unit) {
            return std::u16string_view::npos;
        }
    }
    const bool wordGoesOn = at < text.size() && IsWordUnit(text[at - 1]) && IsWordUnit(text[at]);
    return wordGoesOn ? std::u16string_view::npos : at;
}

// Appends the replacement, taking along the spaces it would leave dangling; returns where the
// text goes on.
std::size_t AppendReplacement(std::u16string& out, std::u16string_view typed,
                              std::u16string_view text, std::size_t matchEnd) {
    const bool takesSpaceBefore = typed.empty() || IsLineBreak(typed.front());
    const bool hadSpaceBefore = !out.empty() && out.back() == u' ';
    if (takesSpaceBefore && hadSpaceBefore) out.pop_back();
    const bool takesSpaceAfter = (!typed.empty() && IsLineBreak(typed.back())) ||
                                 (typed.empty() && out.empty() && !hadSpaceBefore);
    out += typed;
    const bool spaceFollows = matchEnd < text.size() && text[matchEnd] == u' ';
    return takesSpaceAfter && spaceFollows ? matchEnd + 1 : matchEnd;
}

}  // namespace

ReplacementMatcher::ReplacementMatcher(std::span<const Replacement> replacements) {
    for (const Replacement& replacement : replacements) {
        std::u16string folded = NormalizedPattern(replacement.written);
        if (!folded.empty()) patterns_.push_back({std::move(folded), replacement.typed});
    }
    for (std::size_t index = 0; index < patterns_.size(); ++index) {
        byFirstWord_[FoldedWordAt(patterns_[index].folded, 0)].push_back(index);
    }
    for (auto& [word, indices] : byFirstWord_) {
        std::stable_sort(indices.begin(), indices.end(), [this](std::size_t a, std::size_t b) {
            return patterns_[a].folded.size() > patterns_[b].folded.size();
        });
    }
}

const std::vector<std::size_t>* ReplacementMatcher::CandidatesAt(std::u16string_view text,
                                                                 std::size_t position) const {
    const bool wordStart = StartsWord(text, position);
    if (!wordStart && IsWordUnit(text[position])) return nullptr;  // inside a word
    const auto found = byFirstWord_.find(wordStart ? FoldedWordAt(text, position) : u"");
    return found == byFirstWord_.end() ? nullptr : &found->second;
}

bool ReplacementMatcher::FindMatch(std::u16string_view text, std::size_t position,
                                   Match& match) const {
    const std::vector<std::size_t>* candidates = CandidatesAt(text, position);
    if (candidates == nullptr) return false;
    for (const std::size_t index : *candidates) {
        const std::size_t end = MatchEnd(patterns_[index].folded, text, position);
        if (end == std::u16string_view::npos) continue;
        match = {end, &patterns_[index]};
        return true;
    }
    return false;
}

std::u16string ReplacementMatcher::Apply(std::u16string_view text) const {
    if (patterns_.empty()) return std::u16string(text);
    std::u16string out;
    out.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        Match match{};
        if (FindMatch(text, position, match)) {
            position = AppendReplacement(out, match.pattern->typed, text, match.end);
        } else {
            out += text[position++];
        }
    }
    return out;
}

}  // namespace orvello
