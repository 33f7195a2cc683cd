#pragma once
// The text of the replacements file and back; only the file's bytes, not the file itself.
//   [
//     {
//       "written": "orvello",
//       "typed": "Orvello"
//     },
//     {
//       "written": "new paragraph",
//       "typed": "\r\n\r\n"
//     }
//   ]
#include <string>
#include <string_view>
#include <vector>

#include "replacements/replacement.h"

namespace orvello {

inline constexpr std::u16string_view kCorruptedReplacementsFileMessage =
    u"Replacements file is corrupted and could not be loaded. No replacements are applied. The "
    u"file will be overwritten the next time you save.";

struct ReplacementsFileLoadResult {
    // The file is not JSON, or not a JSON array: no replacements at all.
    bool corrupted = false;
    std::vector<Replacement> replacements;
    // One line per entry that was left out, saying which and why; empty when all were taken.
    std::vector<std::u16string> skippedEntries;

    // True when the file held something that the next save would not write back.
    [[nodiscard]] bool FileWouldBeLostOnSave() const {
        return corrupted || !skippedEntries.empty();
    }
};

// Parses the whole file with the strict JSON parser (no comments; invalid UTF-8 is an error),
// accepting a leading byte-order mark, CR LF or LF line ends, and a Ctrl+Z that ends the text.
// Every element must be an object whose "written" is a string with more than white space and
// whose "typed" is a string; an element that is not is skipped, and the others are taken.
// Line breaks in "typed" (LF, CR LF or a lone CR) become CR LF, as Windows types and pastes them.
[[nodiscard]] ReplacementsFileLoadResult ParseReplacementsFile(std::string_view fileBytes);

// The complete file text: UTF-8 without byte-order mark, "written" before "typed", two spaces per
// nesting level, CR LF line ends, non-ASCII characters as raw UTF-8, a line break in a text as
// the escape \r\n, and no line break after the closing bracket. No replacements give "[]".
[[nodiscard]] std::string FormatReplacementsFile(const std::vector<Replacement>& replacements);

// Every line break of the text (LF, CR LF, or a lone CR) as CR LF.
[[nodiscard]] std::u16string WithCrLfLineBreaks(std::u16string_view text);

}  // namespace orvello
