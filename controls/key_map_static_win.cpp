// Painting of the key map: background, centre divider, and per half a title
// and three rounded key boxes in the colours of their state.
#include "controls/key_map_static.h"

#include <algorithm>
#include <string>

#include "controls/gdi_colour.h"
#include "controls/key_map_layout.h"
#include "ui/dpi.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

RECT ToRect(const PixelRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}
PixelRect ToPixelRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}

void DrawLabel(HDC dc, std::u16string_view text, const PixelRect& where, RgbColour colour,
               UINT format) {
    std::wstring wide(text.begin(), text.end());
    RECT rect = ToRect(where);
    SetTextColor(dc, ToColorRef(colour));
    DrawTextW(dc, wide.c_str(), int(wide.size()), &rect, format);
}

void DrawKeyBox(HDC dc, const KeyMapBox& box, KeyMapKeyState state, int cornerEllipsePx) {
    const KeyMapKeyColours colours = KeyMapColoursFor(state);
    ui::UniquePen border(CreatePen(PS_SOLID, 1, ToColorRef(colours.border)));
    ui::UniqueBrush fill(CreateSolidBrush(ToColorRef(colours.fill)));
    {
        ui::SelectionScope pen(dc, border.Get());
        ui::SelectionScope brush(dc, fill.Get());
        RoundRect(dc, box.rect.left, box.rect.top, box.rect.right, box.rect.bottom, cornerEllipsePx,
                  cornerEllipsePx);
    }
    DrawLabel(dc, box.label, box.rect, colours.label,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS);
}

void DrawDivider(HDC dc, const KeyMapLayout& layout) {
    ui::UniquePen pen(CreatePen(PS_SOLID, 1, ToColorRef(kKeyMapDividerColour)));
    ui::SelectionScope selection(dc, pen.Get());
    MoveToEx(dc, layout.dividerX, layout.dividerTop, nullptr);
    LineTo(dc, layout.dividerX, layout.dividerBottom);
}

}  // namespace

void CKeyMapStatic::Replace(std::vector<ModifierKey>& list, std::span<const ModifierKey> keys) {
    if (std::ranges::equal(list, keys)) return;  // same picture: no repaint
    list.assign(keys.begin(), keys.end());
    if (IsWindow()) Invalidate(true);
}

void CKeyMapStatic::SetTriggerKeys(std::span<const ModifierKey> keys) {
    Replace(triggerKeys_, keys);
}

void CKeyMapStatic::SetPressedKeys(std::span<const ModifierKey> keys) {
    Replace(pressedKeys_, keys);
}

void CKeyMapStatic::DrawItem(const DRAWITEMSTRUCT& draw) {
    HDC dc = draw.hDC;
    const int dpi = ui::DpiForWindow(Hwnd());
    const KeyMapLayout layout = LayOutKeyMap(ToPixelRect(draw.rcItem), dpi);

    ui::UniqueBrush background(CreateSolidBrush(ToColorRef(kKeyMapBackgroundColour)));
    FillRect(dc, &draw.rcItem, background.Get());
    DrawDivider(dc, layout);

    // The dialog's font, or the GUI default when the parent has none.
    HFONT font = HFONT(SendMessageW(GetParent(), WM_GETFONT, 0, 0));
    ui::SelectionScope fontSelection(dc, font ? font : HFONT(GetStockObject(DEFAULT_GUI_FONT)));
    SetBkMode(dc, TRANSPARENT);
    for (const KeyMapHalf& half : layout.halves) {
        DrawLabel(dc, half.title, half.titleRect, kKeyMapTitleColour,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        for (const KeyMapBox& box : half.boxes) {
            DrawKeyBox(dc, box, KeyMapStateOf(box.key, triggerKeys_, pressedKeys_),
                       layout.cornerEllipsePx);
        }
    }
}

}  // namespace orvello
