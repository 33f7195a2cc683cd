#pragma once
// Applies a list of replacements to a dictated text in one pass from its start. At each place
// where a word (or a phrase beginning with a sign) may start, the longest entry that matches
// there wins, and the first of equally long ones; a replaced part is never looked at again.
// An entry matches as whole words: a letter or digit at its edge must not continue a word of the
// text ("cat" leaves "cats" and "concat" alone, but finds "cat's" and "cat."), letter case is
// ignored (text/case_folding.h), and each run of white space in it matches any run of white
// space in the text. What stands around a match, punctuation included, stays; so does the
// replacement's own letter case. Spaces that would be left dangling go with the match: an
// empty replacement takes the space before it (at the start of the text, the space after it),
// and a replacement that starts or ends with a line break takes the space on that side.
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "replacements/replacement.h"

namespace orvello {

class ReplacementMatcher {
public:
    ReplacementMatcher() = default;
    // Entries whose written text holds nothing but white space are left out.
    explicit ReplacementMatcher(std::span<const Replacement> replacements);

    [[nodiscard]] std::u16string Apply(std::u16string_view text) const;

private:
    struct Pattern {
        std::u16string folded;  // trimmed, white space runs as one space, case folded
        std::u16string typed;
    };
    struct Match {
        std::size_t end;
        const Pattern* pattern;
    };

    [[nodiscard]] const std::vector<std::size_t>* CandidatesAt(std::u16string_view text,
                                                               std::size_t position) const;
    [[nodiscard]] bool FindMatch(std::u16string_view text, std::size_t position,
                                 Match& match) const;

    std::vector<Pattern> patterns_;
    // Pattern indices by the folded word a pattern starts with (empty for a pattern that starts
    // with a sign), longest pattern first.
    std::unordered_map<std::u16string, std::vector<std::size_t>> byFirstWord_;
};

}  // namespace orvello
