#pragma once
// The key map's picture, without drawing it: the six modifier boxes laid out
// like the two sides of a keyboard (Shift across the top, Ctrl at both outer
// edges, Alt beside the centre), the state of each key and its colours.
// Lengths are given at 96 DPI and scaled with the control's DPI.
#include <array>
#include <span>
#include <string_view>

#include "controls/pixel_geometry.h"
#include "trigger/modifier_key.h"

namespace orvello {

// First matching state wins: a held key shows as pressed even when it is in the trigger.
enum class KeyMapKeyState { Pressed, Trigger, Idle };

struct KeyMapKeyColours {
    RgbColour fill;
    RgbColour border;  // 1 px solid
    RgbColour label;
};

inline constexpr RgbColour kKeyMapBackgroundColour{240, 240, 240};
inline constexpr RgbColour kKeyMapDividerColour{180, 180, 180};
inline constexpr RgbColour kKeyMapTitleColour{100, 100, 100};

[[nodiscard]] KeyMapKeyColours KeyMapColoursFor(KeyMapKeyState state);

// Pressed when `key` occurs in `pressedKeys`, else Trigger when it occurs in `triggerKeys`.
[[nodiscard]] KeyMapKeyState KeyMapStateOf(ModifierKey key,
                                           std::span<const ModifierKey> triggerKeys,
                                           std::span<const ModifierKey> pressedKeys);

struct KeyMapBox {
    ModifierKey key = ModifierKey::Unknown;
    std::u16string_view label;  // "Shift", "Ctrl", "Alt"
    PixelRect rect;             // the rounded rectangle's bounds
};

struct KeyMapHalf {
    std::u16string_view title;       // "LEFT", "RIGHT"
    PixelRect area;                  // the half's rectangle
    PixelRect titleRect;             // the title is centred in it
    std::array<KeyMapBox, 3> boxes;  // row 1 (Shift), row 2 left, row 2 right
};

struct KeyMapLayout {
    int dividerX = 0;                  // the centre divider, a vertical line
    int dividerTop = 0;                // first pixel
    int dividerBottom = 0;             // end point, as for LineTo (not drawn)
    int cornerEllipsePx = 0;           // width and height of the boxes' corner ellipse
    std::array<KeyMapHalf, 2> halves;  // left, right
};

// The picture for the control's item rectangle at `dpi`.
[[nodiscard]] KeyMapLayout LayOutKeyMap(const PixelRect& item, int dpi);

}  // namespace orvello
