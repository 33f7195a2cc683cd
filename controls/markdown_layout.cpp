#include "controls/markdown_layout.h"

#include <algorithm>

namespace orvello {
namespace {

// Breaks runs into pieces (a word with the one space after it, or a lone space) and fills
// visual lines with them; a piece that does not fit starts a new line unless it is the first.
class LineWrapper {
public:
    LineWrapper(int indentLevel, int wrapWidthPx, int lineHeightPx, TextMeasurer& measurer,
                MarkdownLayout& layout)
        : indentLevel_(indentLevel),
          wrapWidthPx_(wrapWidthPx),
          lineHeightPx_(lineHeightPx),
          measurer_(measurer),
          layout_(layout) {
        StartLine();
    }

    void AddSegment(const TextSegment& segment) {
        const MarkdownFont font = FontForSegment(segment);
        std::u16string_view rest = segment.text;
        while (!rest.empty()) {
            const std::size_t space = rest.find(u' ');
            const std::size_t pieceLength = space == rest.npos ? rest.size() : space + 1;
            AddPiece(segment, rest.substr(0, pieceLength), font);
            rest.remove_prefix(pieceLength);
        }
    }

    void Finish() {
        if (!line_.segments.empty()) CloseLine();
    }

private:
    void StartLine() {
        line_ = FormattedLine{};
        line_.indentLevel = indentLevel_;
        xPx_ = MarkdownLineStartX(indentLevel_);
        tallestFontPx_ = 0;
    }

    void AddPiece(const TextSegment& style, std::u16string_view piece, MarkdownFont font) {
        const int widthPx = measurer_.MeasureWidthPx(font, piece);
        if (xPx_ + widthPx > wrapWidthPx_ && !line_.segments.empty()) {
            CloseLine();
            StartLine();
        }
        TextSegment placed = style;
        placed.text = std::u16string(piece);
        line_.segments.push_back(std::move(placed));
        line_.segmentWidthsPx.push_back(widthPx);
        xPx_ += widthPx;
        tallestFontPx_ = std::max(tallestFontPx_, measurer_.LineHeightPx(font));
    }

    void CloseLine() {
        line_.height = tallestFontPx_ < 1 ? lineHeightPx_ : tallestFontPx_ + kMarkdownLineSpacingPx;
        layout_.contentHeight += line_.height;
        layout_.lines.push_back(std::move(line_));
    }

    const int indentLevel_;
    const int wrapWidthPx_;
    const int lineHeightPx_;
    TextMeasurer& measurer_;
    MarkdownLayout& layout_;
    FormattedLine line_;
    int xPx_ = 0;
    int tallestFontPx_ = 0;
};

// An empty source line is a gap one normal line high, without the spacing of text lines.
void AddEmptyLine(const MarkdownLayoutArea& area, MarkdownLayout& layout) {
    const int heightPx = area.lineHeightPx < 1 ? kMarkdownFallbackLineHeightPx : area.lineHeightPx;
    FormattedLine gap;
    gap.height = heightPx;
    layout.lines.push_back(std::move(gap));
    layout.contentHeight += heightPx;
}

void LayoutSourceLine(const ParsedSourceLine& parsed, const MarkdownLayoutArea& area,
                      TextMeasurer& measurer, MarkdownLayout& layout) {
    if (parsed.isFence) return;
    if (parsed.segments.empty()) {
        AddEmptyLine(area, layout);
        return;
    }
    LineWrapper wrapper(parsed.indentLevel, MarkdownWrapWidthPx(area), area.lineHeightPx, measurer,
                        layout);
    for (const TextSegment& segment : parsed.segments) wrapper.AddSegment(segment);
    wrapper.Finish();
}

}  // namespace

MarkdownLayout LayoutMarkdown(std::u16string_view text, const MarkdownLayoutArea& area,
                              TextMeasurer& measurer) {
    MarkdownLayout layout;
    if (text.empty() || area.clientWidthPx <= 0 || MarkdownWrapWidthPx(area) <= 0) return layout;
    MarkdownLineParser parser;
    for (std::u16string_view line : SplitSourceLines(text)) {
        LayoutSourceLine(parser.Parse(line), area, measurer, layout);
    }
    return layout;
}

}  // namespace orvello
