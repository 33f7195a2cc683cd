#include "controls/key_map_layout.h"

#include <algorithm>

namespace orvello {
namespace {

// Lengths at 96 DPI.
constexpr int kPad = 4;  // half edges to boxes; divider inset from top and bottom
constexpr int kRowGap = 3;
constexpr int kColumnGap = 3;
constexpr int kTitleTop = 2;  // title band starts this far below the top
constexpr int kTitleHeight = 12;
constexpr int kTitleGap = 2;  // between the title band and the first row
constexpr int kCornerEllipse = 5;

struct HalfKeys {
    std::u16string_view title;
    ModifierKey top, rowTwoLeft, rowTwoRight;
    std::u16string_view rowTwoLeftLabel, rowTwoRightLabel;
};

// Ctrl sits at both outer edges, Alt next to the centre.
constexpr HalfKeys kLeftKeys{
    u"LEFT", ModifierKey::LeftShift, ModifierKey::LeftCtrl, ModifierKey::LeftAlt, u"Ctrl", u"Alt"};
constexpr HalfKeys kRightKeys{
    u"RIGHT", ModifierKey::RightShift, ModifierKey::RightAlt, ModifierKey::RightCtrl, u"Alt",
    u"Ctrl"};

bool Contains(std::span<const ModifierKey> keys, ModifierKey key) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

KeyMapHalf LayOutHalf(const HalfKeys& keys, const PixelRect& area, int dpi) {
    const int pad = ScaleForDpi(kPad, dpi);
    const int rowGap = ScaleForDpi(kRowGap, dpi);
    const int columnGap = ScaleForDpi(kColumnGap, dpi);
    const int titleTop = area.top + ScaleForDpi(kTitleTop, dpi);
    const int titleBottom = titleTop + ScaleForDpi(kTitleHeight, dpi);

    KeyMapHalf half;
    half.title = keys.title;
    half.area = area;
    half.titleRect = {area.left + pad, titleTop, area.right - pad, titleBottom};

    const int rowOneTop = titleBottom + ScaleForDpi(kTitleGap, dpi);
    const int boxHeight = (area.bottom - rowOneTop - rowGap - pad) / 2;
    const int rowTwoTop = rowOneTop + boxHeight + rowGap;
    const int boxWidth = (area.right - 2 * pad - area.left - columnGap) / 2;
    const int rowTwoLeftX = area.left + pad;
    const int rowTwoRightX = rowTwoLeftX + boxWidth + columnGap;

    half.boxes[0] = {
        keys.top, u"Shift", {area.left + pad, rowOneTop, area.right - pad, rowOneTop + boxHeight}};
    half.boxes[1] = {keys.rowTwoLeft,
                     keys.rowTwoLeftLabel,
                     {rowTwoLeftX, rowTwoTop, rowTwoLeftX + boxWidth, rowTwoTop + boxHeight}};
    half.boxes[2] = {keys.rowTwoRight,
                     keys.rowTwoRightLabel,
                     {rowTwoRightX, rowTwoTop, rowTwoRightX + boxWidth, rowTwoTop + boxHeight}};
    return half;
}

}  // namespace

KeyMapKeyColours KeyMapColoursFor(KeyMapKeyState state) {
    switch (state) {
        case KeyMapKeyState::Pressed:
            return {{255, 210, 210}, {210, 100, 100}, {160, 30, 30}};
        case KeyMapKeyState::Trigger:
            return {{190, 220, 255}, {90, 150, 220}, {20, 70, 160}};
        case KeyMapKeyState::Idle:
            break;
    }
    return {{255, 255, 255}, {180, 180, 180}, {0, 0, 0}};
}

KeyMapKeyState KeyMapStateOf(ModifierKey key, std::span<const ModifierKey> triggerKeys,
                             std::span<const ModifierKey> pressedKeys) {
    if (Contains(pressedKeys, key)) return KeyMapKeyState::Pressed;
    if (Contains(triggerKeys, key)) return KeyMapKeyState::Trigger;
    return KeyMapKeyState::Idle;
}

KeyMapLayout LayOutKeyMap(const PixelRect& item, int dpi) {
    KeyMapLayout layout;
    // Halving toward zero, as C++ integer division does.
    layout.dividerX = item.left + (item.right - item.left) / 2;
    layout.dividerTop = item.top + ScaleForDpi(kPad, dpi);
    layout.dividerBottom = item.bottom - ScaleForDpi(kPad, dpi);
    layout.cornerEllipsePx = ScaleForDpi(kCornerEllipse, dpi);
    layout.halves[0] =
        LayOutHalf(kLeftKeys, {item.left, item.top, layout.dividerX - 1, item.bottom}, dpi);
    layout.halves[1] =
        LayOutHalf(kRightKeys, {layout.dividerX + 1, item.top, item.right, item.bottom}, dpi);
    return layout;
}

}  // namespace orvello
