#pragma once
// The eight fonts of the help view and which of them a run is drawn in.

#include <array>
#include <string_view>

#include "controls/markdown_parser.h"

namespace orvello {

enum class MarkdownFont { Normal, Bold, Italic, BoldItalic, Code, Heading1, Heading2, Heading3 };

inline constexpr std::array<MarkdownFont, 8> kAllMarkdownFonts = {
    MarkdownFont::Normal, MarkdownFont::Bold,     MarkdownFont::Italic,   MarkdownFont::BoldItalic,
    MarkdownFont::Code,   MarkdownFont::Heading1, MarkdownFont::Heading2, MarkdownFont::Heading3};

// Base size of body text, in pixels at 96 DPI, until the owner sets another.
inline constexpr int kDefaultMarkdownBaseFontSizePx = 16;

// What CreateFontW is given for one font; the remaining arguments are the same for all eight.
struct MarkdownFontParameters {
    std::u16string_view face;
    int cellHeightPx = 0;  // positive: cell height, not character height
    int weight = 400;
    bool italic = false;
    bool fixedPitch = false;  // fixed pitch, modern family; else variable pitch, Swiss family
};

// The heading font of a run's level wins, then code, then the bold/italic combination.
[[nodiscard]] MarkdownFont FontForSegment(const TextSegment& segment);

// The size factor is applied to the base size in single precision and truncated before the
// result is scaled from 96 DPI, rounding like MulDiv.
[[nodiscard]] int MarkdownFontHeightPx(int baseFontSizePx, float sizeFactor, int dpi);

[[nodiscard]] MarkdownFontParameters MarkdownFontParametersFor(MarkdownFont font,
                                                               int baseFontSizePx, int dpi);

}  // namespace orvello
