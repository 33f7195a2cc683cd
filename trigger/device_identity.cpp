#include "trigger/device_identity.h"

#include <algorithm>

namespace orvello {

namespace {

// Names shorter than this are taken whole; the first '#' counted is at this index or later.
constexpr std::size_t kIdentitySearchStart = 12;

constexpr std::u16string_view kHidNamePrefix = u"\\\\?\\HID#";
constexpr std::u16string_view kRootEnumeratorMarker = u"\\Root#";

char16_t asciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool startsWithIgnoringAsciiCase(std::u16string_view text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(),
                      [](char16_t a, char16_t b) { return asciiLower(a) == asciiLower(b); });
}

}  // namespace

std::size_t deviceIdentityLength(std::u16string_view deviceName) {
    if (deviceName.size() <= kIdentitySearchStart) return deviceName.size();
    const std::size_t hashIndex = deviceName.find(u'#', kIdentitySearchStart);
    return hashIndex == std::u16string_view::npos ? deviceName.size() : hashIndex;
}

std::u16string deviceDisplayName(std::u16string_view identity) {
    if (identity.size() > kHidNamePrefix.size() &&
        startsWithIgnoringAsciiCase(identity, kHidNamePrefix)) {
        identity.remove_prefix(kHidNamePrefix.size());
    }
    return std::u16string(identity);
}

bool isRootEnumeratedDevice(std::u16string_view deviceName) {
    return deviceName.size() >= kRootEnumeratorMarker.size() &&
           deviceName.find(kRootEnumeratorMarker) != std::u16string_view::npos;
}

}  // namespace orvello
