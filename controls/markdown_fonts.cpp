#include "controls/markdown_fonts.h"

#include <cmath>
#include <cstdint>

namespace orvello {
namespace {

constexpr int kNormalWeight = 400;
constexpr int kBoldWeight = 700;
constexpr std::u16string_view kTextFace = u"Segoe UI";
constexpr std::u16string_view kCodeFace = u"Consolas";

// MulDiv(value, dpi, 96) for the positive sizes fonts have: halves round away from zero.
int ScaleFrom96Dpi(int value, int dpi) {
    const std::int64_t product = std::int64_t{value} * dpi;
    const std::int64_t magnitude = (std::llabs(product) + 48) / 96;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

MarkdownFontParameters TextFont(int heightPx, int weight, bool italic) {
    return MarkdownFontParameters{.face = kTextFace,
                                  .cellHeightPx = heightPx,
                                  .weight = weight,
                                  .italic = italic,
                                  .fixedPitch = false};
}

}  // namespace

MarkdownFont FontForSegment(const TextSegment& segment) {
    switch (segment.headingLevel) {
        case 1:
            return MarkdownFont::Heading1;
        case 2:
            return MarkdownFont::Heading2;
        case 3:
            return MarkdownFont::Heading3;
        default:
            break;
    }
    if (segment.code) return MarkdownFont::Code;
    if (segment.bold && segment.italic) return MarkdownFont::BoldItalic;
    if (segment.bold) return MarkdownFont::Bold;
    if (segment.italic) return MarkdownFont::Italic;
    return MarkdownFont::Normal;
}

int MarkdownFontHeightPx(int baseFontSizePx, float sizeFactor, int dpi) {
    const float scaledBase = static_cast<float>(baseFontSizePx) * sizeFactor;
    return ScaleFrom96Dpi(static_cast<int>(scaledBase), dpi);
}

MarkdownFontParameters MarkdownFontParametersFor(MarkdownFont font, int baseFontSizePx, int dpi) {
    const auto height = [&](float factor) {
        return MarkdownFontHeightPx(baseFontSizePx, factor, dpi);
    };
    switch (font) {
        case MarkdownFont::Normal:
            return TextFont(height(1.0f), kNormalWeight, false);
        case MarkdownFont::Bold:
            return TextFont(height(1.0f), kBoldWeight, false);
        case MarkdownFont::Italic:
            return TextFont(height(1.0f), kNormalWeight, true);
        case MarkdownFont::BoldItalic:
            return TextFont(height(1.0f), kBoldWeight, true);
        case MarkdownFont::Code:
            return MarkdownFontParameters{.face = kCodeFace,
                                          .cellHeightPx = height(0.9f),
                                          .weight = kNormalWeight,
                                          .italic = false,
                                          .fixedPitch = true};
        case MarkdownFont::Heading1:
            return TextFont(height(1.75f), kBoldWeight, false);
        case MarkdownFont::Heading2:
            return TextFont(height(1.5f), kBoldWeight, false);
        case MarkdownFont::Heading3:
            return TextFont(height(1.2f), kBoldWeight, false);
    }
    return TextFont(height(1.0f), kNormalWeight, false);
}

}  // namespace orvello
