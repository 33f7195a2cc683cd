#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "commands/voice_command.h"

namespace orvello {

// Whole-phrase matching of recognised text against command phrases. Matching is
// exact after normalisation: no prefixes, substrings, fuzziness or word order.

// Removes leading and trailing space, tab, CR and LF; other white space such as a
// non-breaking space stays.
[[nodiscard]] std::u16string_view TrimCommandWhitespace(std::u16string_view text);

// Removes every trailing ".", ",", "!", "?", ";" and ":" (several in a row too),
// and nothing else: a space left in front of them stays.
[[nodiscard]] std::u16string_view StripTrailingPunctuation(std::u16string_view text);

// Folds A to Z to a to z, one UTF-16 code unit at a time; every other character,
// accented and non-Latin letters included, stays as it is.
[[nodiscard]] std::u16string FoldAsciiCase(std::u16string_view text);

// Trim, fold, then strip trailing punctuation, in that order. The text is not
// trimmed again, so "next track ." keeps the space in front of its period.
[[nodiscard]] std::u16string NormaliseSpokenText(std::u16string_view spoken);

// True when one of the "|"-separated alternatives of the phrase, trimmed and
// folded (its punctuation kept), equals the already normalised spoken text.
// Empty alternatives are skipped (the phrase itself is kept as written), so an
// empty text matches nothing.
[[nodiscard]] bool PhraseMatches(std::u16string_view phrase, std::u16string_view normalisedSpoken);

// The first enabled command in list order with a matching alternative, or nullptr.
// The pointer stays valid until the list is next replaced.
[[nodiscard]] const VoiceCommand* FindCommand(const std::vector<VoiceCommand>& commands,
                                              std::u16string_view spoken);

}  // namespace orvello
