#include "text/case_folding.h"

namespace orvello {
namespace {

struct UnitRange {
    char16_t first;
    char16_t last;
};

bool InRange(char16_t unit, UnitRange range) {
    return unit >= range.first && unit <= range.last;
}

// Ranges where every capital is followed by its small letter.
constexpr UnitRange kPairedCaseRanges[] = {
    {0x0100, 0x012F}, {0x0132, 0x0137}, {0x014A, 0x0177}, {0x0218, 0x021F}, {0x0460, 0x0481},
    {0x048A, 0x04BF}, {0x04D0, 0x052F}, {0x1E00, 0x1E95}, {0x1EA0, 0x1EFF},
};
// The same with the capital on the odd code unit.
constexpr UnitRange kOddPairedCaseRanges[] = {
    {0x0139, 0x0148},
    {0x0179, 0x017E},
    {0x01CD, 0x01DC},
    {0x04C1, 0x04CE},
};
// Capitals whose small letters lie 32 code units on.
constexpr UnitRange kCapitalsThirtyTwoBelow[] = {
    {u'A', u'Z'},     {0x00C0, 0x00D6}, {0x00D8, 0x00DE}, {0x0391, 0x03A1},
    {0x03A3, 0x03AB}, {0x0410, 0x042F}, {0xFF21, 0xFF3A},
};

struct SingleFold {
    char16_t capital;
    char16_t small;
};
constexpr SingleFold kSingleFolds[] = {
    {0x0178, 0x00FF}, {0x0386, 0x03AC}, {0x038C, 0x03CC}, {0x038E, 0x03CD},
    {0x038F, 0x03CE}, {0x03C2, 0x03C3}, {0x04C0, 0x04CF}, {0x1E9E, 0x00DF},
};

// Not part of a word although above ASCII: Latin-1 signs and spaces, the multiplication and
// division signs, Greek punctuation, general punctuation to the symbol blocks, CJK and
// full-width punctuation, the byte-order mark.
constexpr UnitRange kNonWordRanges[] = {
    {0x0080, 0x00A9}, {0x00AB, 0x00B1}, {0x00B4, 0x00B4}, {0x00B6, 0x00B8}, {0x00BB, 0x00BB},
    {0x00BF, 0x00BF}, {0x00D7, 0x00D7}, {0x00F7, 0x00F7}, {0x037E, 0x037E}, {0x0387, 0x0387},
    {0x2000, 0x2BFF}, {0x3000, 0x303F}, {0xFE30, 0xFE4F}, {0xFEFF, 0xFEFF}, {0xFF00, 0xFF0F},
    {0xFF1A, 0xFF20}, {0xFF3B, 0xFF40}, {0xFF5B, 0xFF65},
};

bool IsAsciiWordUnit(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') || (unit >= u'A' && unit <= u'Z') ||
           (unit >= u'0' && unit <= u'9') || unit == u'_';
}

}  // namespace

char16_t FoldCase(char16_t unit) {
    for (const UnitRange range : kCapitalsThirtyTwoBelow) {
        if (InRange(unit, range)) return char16_t(unit + 32);
    }
    if (unit < 0x0100) return unit;
    for (const UnitRange range : kPairedCaseRanges) {
        if (InRange(unit, range) && unit % 2 == 0) return char16_t(unit + 1);
    }
    for (const UnitRange range : kOddPairedCaseRanges) {
        if (InRange(unit, range) && unit % 2 == 1) return char16_t(unit + 1);
    }
    if (InRange(unit, {0x0388, 0x038A})) return char16_t(unit + 37);
    if (InRange(unit, {0x0400, 0x040F})) return char16_t(unit + 80);
    for (const SingleFold fold : kSingleFolds) {
        if (unit == fold.capital) return fold.small;
    }
    return unit;
}

std::u16string FoldCase(std::u16string_view text) {
    std::u16string folded(text);
    for (char16_t& unit : folded) unit = FoldCase(unit);
    return folded;
}

bool IsWordUnit(char16_t unit) {
    if (unit < 0x80) return IsAsciiWordUnit(unit);
    for (const UnitRange range : kNonWordRanges) {
        if (InRange(unit, range)) return false;
    }
    return true;
}

}  // namespace orvello
