#include "controls/overlay_paint_win.h"

#include <string>

#include "controls/gdi_colour.h"
#include "ui/dpi.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

constexpr wchar_t kTextFace[] = L"Segoe UI Semibold";

RECT ToRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

// A rounded rectangle filled and outlined (1 px) in the given colours.
void DrawRoundedRect(HDC dc, const PixelRect& rect, int cornerPx, RgbColour outline,
                     RgbColour fill) {
    const ui::UniquePen pen(CreatePen(PS_SOLID, 1, ToColorRef(outline)));
    const ui::UniqueBrush brush(CreateSolidBrush(ToColorRef(fill)));
    ui::SelectionScope penScope(dc, pen.Get());
    ui::SelectionScope brushScope(dc, brush.Get());
    RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, cornerPx, cornerPx);
}

void PaintPanel(HDC dc, const PixelRect& client, int dpi) {
    const RECT whole = ToRect(client);
    FillRect(dc, &whole, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawRoundedRect(dc, client, OverlayCornerEllipsePx(dpi), kOverlayBorderColour,
                    kOverlayPanelColour);
}

// The text follows the system DPI rather than the monitor's, like other system text.
ui::UniqueFont CreateTextFont() {
    LOGFONTW font{};
    font.lfHeight = OverlayTextFontHeight(ui::ScreenDpi());
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, kTextFace, LF_FACESIZE);
    return ui::UniqueFont(CreateFontIndirectW(&font));
}

void PaintText(HDC dc, const PixelRect& client, int dpi, OverlayState state) {
    const ui::UniqueFont font = CreateTextFont();
    ui::SelectionScope fontScope(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(kOverlayTextColour));
    RECT band = ToRect(OverlayTextBand(client, dpi));
    const std::u16string_view text = OverlayTextFor(state);
    DrawTextW(dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()),
              &band, DT_SINGLELINE | DT_VCENTER);
}

void PaintBars(HDC dc, const PixelRect& client, int dpi, const std::deque<float>& history) {
    const int cornerPx = OverlayBarCornerEllipsePx(dpi);
    for (const OverlayBar& bar : OverlayBars(client, dpi, history)) {
        DrawRoundedRect(dc, bar.rect, cornerPx, bar.colour, bar.colour);
    }
}

}  // namespace

void PaintOverlay(HDC dc, const PixelRect& client, int dpi, OverlayState state,
                  const std::deque<float>& levelHistory) {
    PaintPanel(dc, client, dpi);
    PaintText(dc, client, dpi, state);
    if (OverlayDrawsBars(state, levelHistory)) PaintBars(dc, client, dpi, levelHistory);
}

}  // namespace orvello
