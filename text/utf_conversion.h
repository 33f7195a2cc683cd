#pragma once

#include <string>
#include <string_view>

namespace orvello {

// Conversions between the UTF-8 of Orvello's files and the UTF-16 of its windows
// and in-memory records. Neither direction fails: what cannot be converted
// becomes U+FFFD, as the Windows converters do without MB_ERR_INVALID_CHARS.

inline constexpr char16_t kReplacementCharacter = 0xFFFD;

// Each maximal ill-formed part of the input (a stray continuation byte, a cut-off
// sequence, an overlong form, an encoded surrogate, a value above U+10FFFF)
// becomes one U+FFFD; characters above U+FFFF become surrogate pairs.
[[nodiscard]] std::u16string Utf8ToUtf16(std::string_view utf8);

// Surrogate pairs become one four-byte sequence; an unpaired surrogate becomes
// U+FFFD, so the output is always valid UTF-8.
[[nodiscard]] std::string Utf16ToUtf8(std::u16string_view utf16);

#ifdef _WIN32
// wchar_t is a UTF-16 code unit on Windows; these copy unit by unit.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
[[nodiscard]] inline std::wstring ToWideString(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}
[[nodiscard]] inline std::u16string FromWideString(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}
#endif

}  // namespace orvello
