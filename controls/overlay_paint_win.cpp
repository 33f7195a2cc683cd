#include "controls/overlay_paint_win.h"

#include <algorithm>
#include <string>
#include <string_view>

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
ui::UniqueFont CreateTextFont(int height) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, kTextFace, LF_FACESIZE);
    return ui::UniqueFont(CreateFontIndirectW(&font));
}

int TextWidthPx(HDC dc, int fontHeight, std::wstring_view text) {
    const ui::UniqueFont font = CreateTextFont(fontHeight);
    ui::SelectionScope fontScope(dc, font.Get());
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The font height (negative: character height) at which the text fits the band: the overlay's
// own size unless the text (the hands-free hint with a long trigger) would be cut off. Glyphs do
// not scale quite linearly, so it is measured again after each step down.
int FittingFontHeight(HDC dc, std::wstring_view text, int bandWidthPx) {
    constexpr int kSmallestHeight = -6;
    int height = OverlayTextFontHeight(ui::ScreenDpi());
    for (int widthPx = TextWidthPx(dc, height, text);
         widthPx > std::max(bandWidthPx, 0) && height < kSmallestHeight;
         widthPx = TextWidthPx(dc, height, text)) {
        height = std::min(std::max(height + 1, height * bandWidthPx / widthPx), kSmallestHeight);
    }
    return height;
}

void PaintText(HDC dc, const PixelRect& client, int dpi, std::wstring_view text) {
    RECT band = ToRect(OverlayTextBand(client, dpi));
    const ui::UniqueFont font = CreateTextFont(FittingFontHeight(dc, text, band.right - band.left));
    ui::SelectionScope fontScope(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(kOverlayTextColour));
    DrawTextW(dc, text.data(), static_cast<int>(text.size()), &band, DT_SINGLELINE | DT_VCENTER);
}

void PaintBars(HDC dc, const PixelRect& client, int dpi, const std::deque<float>& history) {
    const int cornerPx = OverlayBarCornerEllipsePx(dpi);
    for (const OverlayBar& bar : OverlayBars(client, dpi, history)) {
        DrawRoundedRect(dc, bar.rect, cornerPx, bar.colour, bar.colour);
    }
}

}  // namespace

void PaintOverlay(HDC dc, const PixelRect& client, int dpi, const OverlayStatus& status) {
    PaintPanel(dc, client, dpi);
    const std::u16string_view text = status.Text();
    PaintText(dc, client, dpi,
              std::wstring_view(reinterpret_cast<const wchar_t*>(text.data()), text.size()));
    if (OverlayDrawsBars(status.State(), status.LevelHistory())) {
        PaintBars(dc, client, dpi, status.LevelHistory());
    }
}

}  // namespace orvello
