#include "commands/text_variables.h"

#include <array>
#include <cwchar>

namespace orvello {

namespace {

constexpr std::u16string_view kDatePlaceholder = u"{date}";
constexpr std::u16string_view kTimePlaceholder = u"{time}";
constexpr std::u16string_view kClipboardPlaceholder = u"{clipboard}";

// The buffer sizes of the original formatting calls, terminating NUL included.
constexpr std::size_t kDateBufferChars = 64;
constexpr std::size_t kTimeBufferChars = 32;

template <std::size_t BufferChars>
std::u16string FormatLocalTime(const std::tm& localTime, const wchar_t* format) {
    // The wide formatter, in whatever locale the runtime has (Orvello never changes it). Its
    // units are UTF-16 on Windows; elsewhere the C locale's ASCII output copies over unit by unit.
    std::array<wchar_t, BufferChars> buffer{};
    const std::size_t length = std::wcsftime(buffer.data(), buffer.size(), format, &localTime);
    return std::u16string(buffer.data(), buffer.data() + length);
}

void ReplaceEvery(std::u16string& text, std::u16string_view placeholder,
                  std::u16string_view value) {
    std::size_t position = text.find(placeholder);
    while (position != std::u16string::npos) {
        text.replace(position, placeholder.size(), value);
        position = text.find(placeholder, position + value.size());
    }
}

}  // namespace

std::tm CurrentLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm localTime{};
#ifdef _WIN32
    localtime_s(&localTime, &now);
#else
    localtime_r(&now, &localTime);
#endif
    return localTime;
}

std::u16string FormatDateVariable(const std::tm& localTime) {
    return FormatLocalTime<kDateBufferChars>(localTime, L"%B %d, %Y");
}

std::u16string FormatTimeVariable(const std::tm& localTime) {
    return FormatLocalTime<kTimeBufferChars>(localTime, L"%H:%M");
}

std::u16string ExpandVariables(std::u16string_view body, TextVariableSource& source) {
    std::u16string text(body);
    // One reading for both, so a snippet run at midnight never pairs the new date with the
    // old time.
    const std::tm now = source.LocalTimeNow();
    ReplaceEvery(text, kDatePlaceholder, FormatDateVariable(now));
    ReplaceEvery(text, kTimePlaceholder, FormatTimeVariable(now));
    if (text.find(kClipboardPlaceholder) != std::u16string::npos) {
        ReplaceEvery(text, kClipboardPlaceholder,
                     source.ReadClipboardText(kClipboardVariableMaxUnits));
    }
    return text;
}

}  // namespace orvello
