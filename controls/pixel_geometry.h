#pragma once
// Pixel rectangles, colours and DPI scaling shared by the custom controls.
#include <cstdint>

namespace orvello {

struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    [[nodiscard]] constexpr int Width() const { return right - left; }
    [[nodiscard]] constexpr int Height() const { return bottom - top; }
    friend constexpr bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct RgbColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend constexpr bool operator==(const RgbColour&, const RgbColour&) = default;
};

inline constexpr int kDefaultDpi = 96;

// number × numerator / denominator in 64 bits, halves rounded away from zero, as MulDiv does;
// -1 for a zero denominator or a result beyond int.
[[nodiscard]] int MulDivRounded(int number, int numerator, int denominator);

// MulDiv(lengthAt96Dpi, dpi, 96).
[[nodiscard]] int ScaleForDpi(int lengthAt96Dpi, int dpi);

}  // namespace orvello
