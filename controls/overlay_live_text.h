#pragma once
// The words while speaking: what the overlay shows of the text so far is its end, as many whole
// lines as fit, broken between words. Portable; the window measures the text in its own font.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace orvello {

// Whether a line of text fits the width it is drawn in.
using LineFits = std::function<bool(std::u16string_view line)>;

// The last `maxLines` lines of `text` wrapped at spaces so that each line fits, oldest first.
// Leading, trailing and repeated spaces go. A word too long for a line alone keeps its end on
// a line of its own (its beginning is cut off), so the newest words always show.
[[nodiscard]] std::vector<std::u16string> LastLinesOf(std::u16string_view text,
                                                      std::size_t maxLines, const LineFits& fits);

}  // namespace orvello
