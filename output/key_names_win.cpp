#include <windows.h>

#include "output/key_step_format.h"
#include "output/output_win.h"
#include "text/utf_conversion.h"

namespace orvello {

namespace {

class ActiveLayoutNames final : public KeyboardLayoutNames {
public:
    [[nodiscard]] std::uint32_t ScanCodeOf(std::uint16_t virtualKey) const override {
        return MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    }

    [[nodiscard]] std::u16string KeyNameOf(std::int32_t keyParameter) const override {
        wchar_t name[kKeyNameBufferChars] = {};
        const int length = GetKeyNameTextW(keyParameter, name, static_cast<int>(std::size(name)));
        if (length <= 0) return {};
        return FromWideString(std::wstring_view(name, static_cast<std::size_t>(length)));
    }
};

}  // namespace

std::wstring FormatKeyStep(const KeyStep& step) {
    return ToWideString(FormatKeyStep(step, ActiveLayoutNames{}));
}

}  // namespace orvello
