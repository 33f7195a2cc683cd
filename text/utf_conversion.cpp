#include "text/utf_conversion.h"

#include <cstddef>
#include <cstdint>

namespace orvello {

namespace {

struct DecodedCodePoint {
    char32_t value;
    std::size_t length_bytes;  // bytes consumed, at least 1
    bool valid;
};

struct ByteRange {
    std::uint8_t low;
    std::uint8_t high;
};

constexpr ByteRange kContinuationRange{0x80, 0xBF};

// Length of the sequence a lead byte starts; 0 for bytes that cannot lead.
std::size_t SequenceLength(std::uint8_t lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The second byte is narrowed for some leads so that overlong forms, encoded
// surrogates and values above U+10FFFF are refused at the earliest byte.
ByteRange SecondByteRange(std::uint8_t lead) {
    switch (lead) {
        case 0xE0:
            return {0xA0, 0xBF};
        case 0xED:
            return {0x80, 0x9F};
        case 0xF0:
            return {0x90, 0xBF};
        case 0xF4:
            return {0x80, 0x8F};
        default:
            return kContinuationRange;
    }
}

char32_t LeadBits(std::uint8_t lead, std::size_t length) {
    switch (length) {
        case 2:
            return lead & 0x1F;
        case 3:
            return lead & 0x0F;
        default:
            return lead & 0x07;
    }
}

DecodedCodePoint DecodeUtf8At(std::string_view text, std::size_t position) {
    const auto lead = static_cast<std::uint8_t>(text[position]);
    const std::size_t length = SequenceLength(lead);
    if (length == 0) return {0, 1, false};
    if (length == 1) return {lead, 1, true};
    char32_t value = LeadBits(lead, length);
    for (std::size_t offset = 1; offset < length; ++offset) {
        if (position + offset >= text.size()) return {0, offset, false};
        const auto byte = static_cast<std::uint8_t>(text[position + offset]);
        const ByteRange allowed = offset == 1 ? SecondByteRange(lead) : kContinuationRange;
        if (byte < allowed.low || byte > allowed.high) return {0, offset, false};
        value = (value << 6) | (byte & 0x3F);
    }
    return {value, length, true};
}

void AppendUtf16(std::u16string& out, char32_t value) {
    if (value < 0x10000) {
        out.push_back(static_cast<char16_t>(value));
        return;
    }
    const char32_t offset = value - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

void AppendUtf8(std::string& out, char32_t value) {
    if (value < 0x80) {
        out.push_back(static_cast<char>(value));
    } else if (value < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (value >> 6)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else if (value < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (value >> 12)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (value >> 18)));
        out.push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (value & 0x3F)));
    }
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t position = 0;
    while (position < utf8.size()) {
        const DecodedCodePoint decoded = DecodeUtf8At(utf8, position);
        AppendUtf16(out, decoded.valid ? decoded.value : kReplacementCharacter);
        position += decoded.length_bytes;
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t index = 0; index < utf16.size(); ++index) {
        const char16_t unit = utf16[index];
        const bool pairFollows = index + 1 < utf16.size() && IsLowSurrogate(utf16[index + 1]);
        if (IsHighSurrogate(unit) && pairFollows) {
            const char32_t high = unit - 0xD800;
            const char32_t low = utf16[++index] - 0xDC00;
            AppendUtf8(out, 0x10000 + ((high << 10) | low));
        } else if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
            AppendUtf8(out, kReplacementCharacter);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

}  // namespace orvello
