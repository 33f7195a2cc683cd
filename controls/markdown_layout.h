#pragma once
// Word wrapping of parsed Markdown into the visual lines of the help view. Text is measured
// through a small seam so that the rules run without a device context.

#include <string_view>
#include <vector>

#include "controls/markdown_fonts.h"
#include "controls/markdown_parser.h"

namespace orvello {

// Measures text in one of the view's fonts: GDI on Windows, a fixed-width fake in tests.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;

    // The advance width of the text, as GetTextExtentPoint32W reports it.
    [[nodiscard]] virtual int MeasureWidthPx(MarkdownFont font, std::u16string_view text) = 0;
    // tmHeight + tmExternalLeading of the font.
    [[nodiscard]] virtual int LineHeightPx(MarkdownFont font) = 0;
};

// Unscaled pixels: the left margin, the step of one indent level, the space kept clear on the
// right besides the scroll bar, and the spacing below each line of text.
inline constexpr int kMarkdownLeftMarginPx = 4;
inline constexpr int kMarkdownIndentStepPx = 20;
inline constexpr int kMarkdownRightMarginPx = 10;
inline constexpr int kMarkdownLineSpacingPx = 4;
// Height of an empty source line while the normal font has not been measured.
inline constexpr int kMarkdownFallbackLineHeightPx = 16;

// One visual line: each piece of a wrapped run is a segment of its own, with its width.
struct FormattedLine {
    std::vector<TextSegment> segments;
    std::vector<int> segmentWidthsPx;  // parallel to segments
    int indentLevel = 0;
    int height = 0;
};

struct MarkdownLayout {
    std::vector<FormattedLine> lines;
    int contentHeight = 0;  // sum of the line heights
};

struct MarkdownLayoutArea {
    int clientWidthPx = 0;
    int scrollBarWidthPx = 0;  // reserved whether or not the bar is shown
    int lineHeightPx = 0;      // of the normal font; 0 while not measured
};

// Where a line's first segment starts.
[[nodiscard]] constexpr int MarkdownLineStartX(int indentLevel) {
    return indentLevel * kMarkdownIndentStepPx + kMarkdownLeftMarginPx;
}

// Width wrapping keeps lines within; not positive when nothing fits.
[[nodiscard]] constexpr int MarkdownWrapWidthPx(const MarkdownLayoutArea& area) {
    return area.clientWidthPx - area.scrollBarWidthPx - kMarkdownRightMarginPx;
}

// Parses the whole text and wraps every line. An empty text or an area without usable width
// gives no lines.
[[nodiscard]] MarkdownLayout LayoutMarkdown(std::u16string_view text,
                                            const MarkdownLayoutArea& area, TextMeasurer& measurer);

}  // namespace orvello
