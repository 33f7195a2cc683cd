#include "app/input_device_list.h"

#include <algorithm>

namespace orvello {

namespace {

constexpr std::u16string_view kInputDeviceId = u"InputDeviceId";

bool InRange(char16_t c, char16_t first, char16_t last) {
    return c >= first && c <= last;
}

// Latin Extended-A pairs each capital with the small letter one unit above it; the pairs start on
// even units in two stretches and on odd units in two others. U+0130, U+0131, U+0138, U+0149 and
// U+017F have no partner in the block.
char16_t FoldLatinExtendedA(char16_t c) {
    const bool evenCapitals =
        InRange(c, 0x0100, 0x012F) || InRange(c, 0x0132, 0x0137) || InRange(c, 0x014A, 0x0177);
    const bool oddCapitals = InRange(c, 0x0139, 0x0148) || InRange(c, 0x0179, 0x017E);
    if ((evenCapitals && c % 2 == 0) || (oddCapitals && c % 2 == 1)) return c + 1;
    if (c == 0x0178) return 0x00FF;  // Y with diaeresis; its small letter is in Latin-1
    return c;
}

// The small letter of a capital in the scripts device names are written in; anything else is
// returned unchanged.
char16_t FoldCase(char16_t c) {
    if (InRange(c, u'A', u'Z')) return c + 0x20;
    if (InRange(c, 0x00C0, 0x00DE) && c != 0x00D7) return c + 0x20;  // not the multiplication sign
    if (InRange(c, 0x0100, 0x017F)) return FoldLatinExtendedA(c);
    if (InRange(c, 0x0391, 0x03AB) && c != 0x03A2) return c + 0x20;  // Greek
    if (InRange(c, 0x0400, 0x040F)) return c + 0x50;                 // Cyrillic with marks
    if (InRange(c, 0x0410, 0x042F)) return c + 0x20;                 // basic Cyrillic
    return c;
}

}  // namespace

bool DeviceNamesMatch(std::u16string_view a, std::u16string_view b) {
    return std::ranges::equal(a, b,
                              [](char16_t x, char16_t y) { return FoldCase(x) == FoldCase(y); });
}

std::optional<std::size_t> ChooseInputDevice(std::span<const InputDeviceEntry> entries,
                                             std::u16string_view savedName) {
    if (entries.empty()) return std::nullopt;
    if (!savedName.empty()) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (DeviceNamesMatch(entries[i].name, savedName)) return i;
        }
    }
    return 0;
}

std::optional<std::size_t> SelectSavedInputDevice(ProfileStore& profile,
                                                  std::span<const InputDeviceEntry> entries) {
    if (entries.empty()) return std::nullopt;
    return ChooseInputDevice(entries, profile.ReadString(kInputDeviceId, u""));
}

bool SaveInputDevice(ProfileStore& profile, std::span<const InputDeviceEntry> entries,
                     std::optional<std::size_t> selection) {
    if (!selection || *selection >= entries.size()) return false;
    profile.WriteString(kInputDeviceId, entries[*selection].name);
    return true;
}

}  // namespace orvello
