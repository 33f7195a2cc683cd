#pragma once
// RgbColour to and from GDI's COLORREF.
#include <windows.h>

#include "controls/pixel_geometry.h"

namespace orvello {

[[nodiscard]] inline COLORREF ToColorRef(RgbColour colour) {
    return RGB(colour.red, colour.green, colour.blue);
}

[[nodiscard]] inline RgbColour ToRgbColour(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

}  // namespace orvello
