#pragma once

// Windows only: the profile section kept in the per-user registry.

#include <windows.h>

#include <string>

#include "app/profile_store.h"

namespace orvello {

// Where Orvello keeps its settings, under HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsRegistryKey[] = L"Software\\Brackwater\\Orvello\\Settings";

// One registry key as a profile section: integers are REG_DWORD values, texts REG_SZ values.
// Every call opens the key afresh and nothing is cached, so what the registry holds is always
// what is read. Writing creates the key when it is missing.
class RegistryProfileStore final : public ProfileStore {
public:
    // Orvello's own settings section.
    RegistryProfileStore();
    // Any other key; root stays owned by the caller and must outlive the store.
    RegistryProfileStore(HKEY root, std::wstring keyPath);

    [[nodiscard]] std::int32_t ReadInt(std::u16string_view name, std::int32_t fallback) override;
    [[nodiscard]] std::u16string ReadString(std::u16string_view name,
                                            std::u16string_view fallback) override;
    void WriteInt(std::u16string_view name, std::int32_t value) override;
    void WriteString(std::u16string_view name, std::u16string_view value) override;

private:
    HKEY root_;
    std::wstring keyPath_;
};

}  // namespace orvello
