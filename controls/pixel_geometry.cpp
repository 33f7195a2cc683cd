#include "controls/pixel_geometry.h"

#include <cstdlib>
#include <limits>

namespace orvello {

int MulDivRounded(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const std::int64_t product = std::int64_t{number} * numerator;
    const std::int64_t divisor = std::llabs(denominator);
    const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
    if (magnitude > std::numeric_limits<int>::max()) return -1;
    const bool negative = (product < 0) != (denominator < 0);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int ScaleForDpi(int lengthAt96Dpi, int dpi) {
    return MulDivRounded(lengthAt96Dpi, dpi, kDefaultDpi);
}

}  // namespace orvello
