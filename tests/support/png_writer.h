#pragma once
// Writes 32-bit images as PNG files (uncompressed deflate blocks), so that
// window captures from tests can be looked at by a person.
#include <cstdint>
#include <string>
#include <vector>

namespace orvello::test {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first

    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Encodes the image as an RGB PNG.
std::vector<uint8_t> EncodePng(const Image& image);

[[nodiscard]] bool WritePng(const Image& image, const std::string& path);

}  // namespace orvello::test
