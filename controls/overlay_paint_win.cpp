#include "controls/overlay_paint_win.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "controls/gdi_colour.h"
#include "controls/overlay_geometry.h"
#include "controls/overlay_live_text.h"
#include "ui/dpi.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

constexpr wchar_t kTextFace[] = L"Segoe UI Semibold";
constexpr wchar_t kLiveTextFace[] = L"Segoe UI";

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
ui::UniqueFont CreateTextFont(int height, const wchar_t* face = kTextFace) {
    LOGFONTW font{};
    font.lfHeight = height;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
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

std::wstring_view Wide(std::u16string_view text) {
    return std::wstring_view(reinterpret_cast<const wchar_t*>(text.data()), text.size());
}

// The end of the text so far, as many lines as the band holds, each left-aligned.
void PaintLiveText(HDC dc, const PixelRect& client, int dpi, std::u16string_view text) {
    const RECT band = ToRect(OverlayLiveTextBand(client, dpi));
    const ui::UniqueFont font =
        CreateTextFont(OverlayTextFontHeight(ui::ScreenDpi()), kLiveTextFace);
    ui::SelectionScope fontScope(dc, font.Get());
    const auto fits = [&](std::u16string_view line) {
        SIZE size{};
        const std::wstring_view wide = Wide(line);
        GetTextExtentPoint32W(dc, wide.data(), static_cast<int>(wide.size()), &size);
        return size.cx <= band.right - band.left;
    };
    const std::vector<std::u16string> lines = LastLinesOf(text, kOverlayLiveTextLines, fits);
    const int lineHeight = (band.bottom - band.top) / static_cast<int>(kOverlayLiveTextLines);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ToColorRef(kOverlayTextColour));
    int top = band.bottom - lineHeight * static_cast<int>(lines.size());
    for (const std::u16string& line : lines) {
        RECT lineRect{band.left, top, band.right, top + lineHeight};
        DrawTextW(dc, Wide(line).data(), static_cast<int>(line.size()), &lineRect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        top += lineHeight;
    }
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
    if (!status.LiveText().empty()) PaintLiveText(dc, client, dpi, status.LiveText());
    const PixelRect row = OverlayStatusRow(client, dpi);
    PaintText(dc, row, dpi, Wide(status.Text()));
    if (OverlayDrawsBars(status.State(), status.LevelHistory())) {
        PaintBars(dc, row, dpi, status.LevelHistory());
    }
}

}  // namespace orvello
