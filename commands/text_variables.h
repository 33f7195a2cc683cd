#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <string_view>

namespace orvello {

// What the variables of an Insert Text body are read from. On Windows: the C runtime's
// clock and the clipboard.
class TextVariableSource {
public:
    virtual ~TextVariableSource() = default;
    [[nodiscard]] virtual std::tm LocalTimeNow() = 0;
    // The clipboard's text, at most maxUnits code units; empty when there is none.
    [[nodiscard]] virtual std::u16string ReadClipboardText(std::size_t maxUnits) = 0;
};

// The longest clipboard text {clipboard} inserts; anything beyond is cut off.
inline constexpr std::size_t kClipboardVariableMaxUnits = 65'536;

// The current local time from the C runtime.
[[nodiscard]] std::tm CurrentLocalTime();

// "%B %d, %Y" in the C runtime's default locale, which the program never changes:
// "March 05, 2024".
[[nodiscard]] std::u16string FormatDateVariable(const std::tm& localTime);

// "%H:%M", a 24-hour clock: "09:07".
[[nodiscard]] std::u16string FormatTimeVariable(const std::tm& localTime);

// Replaces every "{date}", then every "{time}", then every "{clipboard}" (exact,
// case-sensitive). Inserted text is never searched again, so a placeholder arriving with
// the clipboard's text is typed as it is. The clipboard is read only when the body
// holds "{clipboard}"; the clock is read once per body, for both date and time.
[[nodiscard]] std::u16string ExpandVariables(std::u16string_view body, TextVariableSource& source);

}  // namespace orvello
