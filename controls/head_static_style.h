#pragma once
// The section header's look, without drawing it: which bar colour a header
// gets from its template's text alignment, the style it is switched to, and
// the height of its bold caption font.
#include <cstdint>

#include "controls/pixel_geometry.h"

namespace orvello {

// Static-control style bits (winuser.h), repeated so that this stays portable.
inline constexpr std::uint32_t kStaticTypeMask = 0x1F;   // SS_TYPEMASK
inline constexpr std::uint32_t kStaticCentre = 0x01;     // SS_CENTER
inline constexpr std::uint32_t kStaticRight = 0x02;      // SS_RIGHT
inline constexpr std::uint32_t kStaticOwnerDraw = 0x0D;  // SS_OWNERDRAW

// Alignment variants: 0 left-aligned (or any other static type), 1 centred, 2 right-aligned.
inline constexpr int kHeaderVariantDefault = 0;
inline constexpr int kHeaderVariantCentred = 1;
inline constexpr int kHeaderVariantRight = 2;

inline constexpr RgbColour kHeaderDefaultBarColour{86, 152, 233};
inline constexpr RgbColour kHeaderCentredBarColour{192, 128, 128};
inline constexpr RgbColour kHeaderRightBarColour{128, 128, 192};
inline constexpr RgbColour kHeaderTextColour{255, 255, 255};
inline constexpr int kHeaderFontWeight = 700;

// The variant recorded from a template's style when the header is attached.
[[nodiscard]] int HeaderAlignmentVariant(std::uint32_t style);

// The style with its static type replaced by owner-draw.
[[nodiscard]] std::uint32_t HeaderOwnerDrawStyle(std::uint32_t style);

// Centred headers are reddish, right-aligned ones bluish-grey, the others `barColor`.
[[nodiscard]] RgbColour HeaderBarColour(int alignmentVariant, RgbColour barColor);

// lfHeight of the caption font from the system menu font's lfHeight: 84 % of its size,
// truncated, always negative (character height).
[[nodiscard]] std::int32_t HeaderFontHeight(std::int32_t menuFontHeight);

}  // namespace orvello
