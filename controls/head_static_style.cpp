#include "controls/head_static_style.h"

#include <cmath>
#include <cstdlib>

namespace orvello {

int HeaderAlignmentVariant(std::uint32_t style) {
    switch (style & kStaticTypeMask) {
        case kStaticCentre:
            return kHeaderVariantCentred;
        case kStaticRight:
            return kHeaderVariantRight;
        default:
            return kHeaderVariantDefault;
    }
}

std::uint32_t HeaderOwnerDrawStyle(std::uint32_t style) {
    return (style & ~kStaticTypeMask) | kStaticOwnerDraw;
}

RgbColour HeaderBarColour(int alignmentVariant, RgbColour barColor) {
    switch (alignmentVariant) {
        case kHeaderVariantCentred:
            return kHeaderCentredBarColour;
        case kHeaderVariantRight:
            return kHeaderRightBarColour;
        default:
            return barColor;
    }
}

std::int32_t HeaderFontHeight(std::int32_t menuFontHeight) {
    const double size = std::abs(double(menuFontHeight)) * 0.84;
    return -std::int32_t(std::trunc(size));
}

}  // namespace orvello
