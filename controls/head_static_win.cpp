// Painting of the section header: a bar over the whole client area and the
// window text centred on it, in a bold version of the system menu font.
#include "controls/head_static.h"

#include <string>

#include "controls/gdi_colour.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

// The menu font at 84 % of its size, bold; the stock GUI font when the metrics are unreadable.
ui::UniqueFont CreateHeaderFont() {
    NONCLIENTMETRICSW metrics{};
    static_assert(sizeof metrics == 504, "the full structure, iPaddedBorderWidth included");
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return ui::UniqueFont();
    LOGFONTW font = metrics.lfMenuFont;
    font.lfHeight = HeaderFontHeight(font.lfHeight);
    font.lfWeight = kHeaderFontWeight;
    return ui::UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace

void CHeadStatic::OnAttach() {
    const auto style = std::uint32_t(GetStyle());
    alignmentVariant_ = HeaderAlignmentVariant(style);
    SetStyle(LONG_PTR(HeaderOwnerDrawStyle(style)));
}

void CHeadStatic::OnPaint() {
    ui::PaintDc paint(Hwnd());
    HDC dc = paint.Get();
    RECT client = GetClientRect();

    ui::UniqueFont font = CreateHeaderFont();
    ui::SelectionScope fontSelection(dc,
                                     font ? HGDIOBJ(font.Get()) : GetStockObject(DEFAULT_GUI_FONT));
    ui::UniqueBrush bar(CreateSolidBrush(ToColorRef(HeaderBarColour(alignmentVariant_, barColor))));
    FillRect(dc, &client, bar.Get());

    SetTextColor(dc, ToColorRef(kHeaderTextColour));
    SetBkMode(dc, TRANSPARENT);
    const std::wstring text = Text();
    DrawTextW(dc, text.c_str(), int(text.size()), &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

}  // namespace orvello
