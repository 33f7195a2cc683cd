#include "controls/overlay_live_text.h"

#include <algorithm>

namespace orvello {
namespace {

std::vector<std::u16string_view> WordsOf(std::u16string_view text) {
    std::vector<std::u16string_view> words;
    std::size_t start = 0;
    while (start < text.size()) {
        if (text[start] == u' ') {
            ++start;
            continue;
        }
        const std::size_t end = std::min(text.find(u' ', start), text.size());
        words.push_back(text.substr(start, end - start));
        start = end;
    }
    return words;
}

// The end of `word` that fits a line, at least its last character.
std::u16string_view FittingEnd(std::u16string_view word, const LineFits& fits) {
    std::size_t cut = 0;
    while (cut + 1 < word.size() && !fits(word.substr(cut))) ++cut;
    return word.substr(cut);
}

}  // namespace

// Filled from the newest word backwards, so the cost is that of the lines shown, not of the
// whole text.
std::vector<std::u16string> LastLinesOf(std::u16string_view text, std::size_t maxLines,
                                        const LineFits& fits) {
    const std::vector<std::u16string_view> words = WordsOf(text);
    std::vector<std::u16string> lines;  // newest first
    std::u16string line;
    for (auto word = words.rbegin(); word != words.rend() && lines.size() < maxLines; ++word) {
        std::u16string longer = std::u16string(*word) + (line.empty() ? u"" : u" ") + line;
        if (fits(longer)) {
            line = std::move(longer);
            continue;
        }
        if (!line.empty()) lines.push_back(std::move(line));
        line = std::u16string(FittingEnd(*word, fits));  // the whole word when it fits
    }
    if (!line.empty() && lines.size() < maxLines) lines.push_back(std::move(line));
    std::reverse(lines.begin(), lines.end());
    return lines;
}

}  // namespace orvello
