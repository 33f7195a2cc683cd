#pragma once
// GDI side of the help view: its eight fonts and text measurement with them.
#include <windows.h>

#include <array>
#include <string_view>

#include "controls/markdown_fonts.h"
#include "controls/markdown_layout.h"
#include "ui/win32_handles.h"

namespace orvello {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 text is passed to GDI unconverted");

[[nodiscard]] inline std::u16string_view AsUtf16(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}
[[nodiscard]] inline std::wstring_view AsWide(std::u16string_view text) {
    return {reinterpret_cast<const wchar_t*>(text.data()), text.size()};
}

// The eight fonts, created together for one base size and DPI and kept until recreated.
class MarkdownFontSet {
public:
    // Deletes the previous fonts first.
    void Recreate(int baseFontSizePx, int dpi);
    [[nodiscard]] HFONT Get(MarkdownFont font) const { return fonts_[Index(font)].Get(); }

private:
    [[nodiscard]] static std::size_t Index(MarkdownFont font) {
        return static_cast<std::size_t>(font);
    }
    std::array<ui::UniqueFont, kAllMarkdownFonts.size()> fonts_;
};

// tmHeight + tmExternalLeading of the font in the DC.
[[nodiscard]] int FontLineHeightPx(HDC dc, HFONT font);

// Measures with GetTextExtentPoint32W in a DC, selecting each font only for its measurement.
class GdiTextMeasurer : public TextMeasurer {
public:
    GdiTextMeasurer(HDC dc, const MarkdownFontSet& fonts) : dc_(dc), fonts_(fonts) {}

    int MeasureWidthPx(MarkdownFont font, std::u16string_view text) override;
    int LineHeightPx(MarkdownFont font) override;

private:
    static constexpr int kNotMeasured = -1;
    HDC dc_;
    const MarkdownFontSet& fonts_;
    std::array<int, kAllMarkdownFonts.size()> lineHeightsPx_ = {
        kNotMeasured, kNotMeasured, kNotMeasured, kNotMeasured,
        kNotMeasured, kNotMeasured, kNotMeasured, kNotMeasured};
};

}  // namespace orvello
