#include "controls/markdown_gdi_win.h"

#include <string>

namespace orvello {
namespace {

ui::UniqueFont CreateMarkdownFont(const MarkdownFontParameters& parameters) {
    const std::wstring face(AsWide(parameters.face));
    const DWORD pitchAndFamily =
        parameters.fixedPitch ? (FIXED_PITCH | FF_MODERN) : (VARIABLE_PITCH | FF_SWISS);
    return ui::UniqueFont(CreateFontW(parameters.cellHeightPx, 0, 0, 0, parameters.weight,
                                      parameters.italic ? TRUE : FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      CLEARTYPE_QUALITY, pitchAndFamily, face.c_str()));
}

}  // namespace

void MarkdownFontSet::Recreate(int baseFontSizePx, int dpi) {
    for (MarkdownFont font : kAllMarkdownFonts) {
        fonts_[Index(font)].Reset();
        fonts_[Index(font)] =
            CreateMarkdownFont(MarkdownFontParametersFor(font, baseFontSizePx, dpi));
    }
}

int FontLineHeightPx(HDC dc, HFONT font) {
    ui::SelectionScope selection(dc, font);
    TEXTMETRICW metrics{};
    if (!GetTextMetricsW(dc, &metrics)) return 0;
    return metrics.tmHeight + metrics.tmExternalLeading;
}

int GdiTextMeasurer::MeasureWidthPx(MarkdownFont font, std::u16string_view text) {
    ui::SelectionScope selection(dc_, fonts_.Get(font));
    SIZE extent{};
    const std::wstring_view wide = AsWide(text);
    if (!GetTextExtentPoint32W(dc_, wide.data(), static_cast<int>(wide.size()), &extent)) return 0;
    return extent.cx;
}

int GdiTextMeasurer::LineHeightPx(MarkdownFont font) {
    int& cached = lineHeightsPx_[static_cast<std::size_t>(font)];
    if (cached == kNotMeasured) cached = FontLineHeightPx(dc_, fonts_.Get(font));
    return cached;
}

}  // namespace orvello
