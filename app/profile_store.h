#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvello {

// The values of one section of the user's profile, by name. The Windows implementation keeps them
// in the per-user registry (RegistryProfileStore); tests keep them in memory.
//
// Profile access never fails loudly: a value that is missing, of the wrong type or unreadable
// reads as the caller's fallback, and a write that fails leaves the stored value as it was. The
// settings are a convenience, so a broken registry must not stop the program.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // A 32-bit integer value (REG_DWORD), its bits taken as a signed number.
    [[nodiscard]] virtual std::int32_t ReadInt(std::u16string_view name, std::int32_t fallback) = 0;
    // A text value (REG_SZ), up to its first NUL character.
    [[nodiscard]] virtual std::u16string ReadString(std::u16string_view name,
                                                    std::u16string_view fallback) = 0;

    virtual void WriteInt(std::u16string_view name, std::int32_t value) = 0;
    virtual void WriteString(std::u16string_view name, std::u16string_view value) = 0;
};

}  // namespace orvello
