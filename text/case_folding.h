#pragma once
// Letter case and word characters for matching what people say, one UTF-16 code unit at a time,
// without the system's locale: the same answer on every machine and in every build.
#include <string>
#include <string_view>

namespace orvello {

// The lower-case partner of an upper-case letter of the scripts the speech model writes: Latin
// (ASCII, Latin-1, Latin Extended-A, the Romanian and a few other letters of Extended-B, Latin
// Extended Additional), Greek with its accented capitals and final sigma, Cyrillic, and the
// full-width Latin capitals. One code unit in, one out: "ß" stays "ß", and a letter that needs
// two code units is left as it is.
[[nodiscard]] char16_t FoldCase(char16_t unit);
[[nodiscard]] std::u16string FoldCase(std::u16string_view text);

// Whether the code unit belongs to a word: letters, digits and the underscore of any script,
// combining marks, and the halves of a surrogate pair; not ASCII punctuation (the apostrophe
// included), white space, the Latin-1 signs, general punctuation, symbols, arrows or the CJK and
// full-width punctuation.
[[nodiscard]] bool IsWordUnit(char16_t unit);

}  // namespace orvello
