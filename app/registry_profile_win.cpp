#include "app/registry_profile_win.h"

#include <cwchar>
#include <utility>

namespace orvello {

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

// Value names must be NUL-terminated for the registry functions.
std::wstring ValueName(std::u16string_view name) {
    return std::wstring(name.begin(), name.end());
}

// Only REG_SZ counts as text; RRF_NOEXPAND keeps a REG_EXPAND_SZ value from being expanded
// and passed off as one.
constexpr DWORD kTextValueFlags = RRF_RT_REG_SZ | RRF_NOEXPAND;

// A value that grows between the size query and the read is asked for again, a few times at most.
constexpr int kStringReadAttempts = 3;

}  // namespace

RegistryProfileStore::RegistryProfileStore()
    : RegistryProfileStore(HKEY_CURRENT_USER, kSettingsRegistryKey) {}

RegistryProfileStore::RegistryProfileStore(HKEY root, std::wstring keyPath)
    : root_(root), keyPath_(std::move(keyPath)) {}

std::int32_t RegistryProfileStore::ReadInt(std::u16string_view name, std::int32_t fallback) {
    DWORD data = 0;
    DWORD size = sizeof data;
    const LSTATUS status = RegGetValueW(root_, keyPath_.c_str(), ValueName(name).c_str(),
                                        RRF_RT_REG_DWORD, nullptr, &data, &size);
    if (status != ERROR_SUCCESS) return fallback;
    return static_cast<std::int32_t>(data);
}

std::u16string RegistryProfileStore::ReadString(std::u16string_view name,
                                                std::u16string_view fallback) {
    const std::wstring valueName = ValueName(name);
    for (int attempt = 0; attempt < kStringReadAttempts; ++attempt) {
        DWORD size = 0;
        if (RegGetValueW(root_, keyPath_.c_str(), valueName.c_str(), kTextValueFlags, nullptr,
                         nullptr, &size) != ERROR_SUCCESS) {
            break;
        }
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        const LSTATUS status = RegGetValueW(root_, keyPath_.c_str(), valueName.c_str(),
                                            kTextValueFlags, nullptr, text.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) break;
        text.resize(std::wcslen(text.c_str()));  // the text ends at its first NUL
        return std::u16string(text.begin(), text.end());
    }
    return std::u16string(fallback);
}

// A failed write is not reported: the registry keeps the value it had.
void RegistryProfileStore::WriteInt(std::u16string_view name, std::int32_t value) {
    const DWORD data = static_cast<DWORD>(value);
    (void)RegSetKeyValueW(root_, keyPath_.c_str(), ValueName(name).c_str(), REG_DWORD, &data,
                          sizeof data);
}

void RegistryProfileStore::WriteString(std::u16string_view name, std::u16string_view value) {
    const std::wstring text(value.begin(), value.end());
    const DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    (void)RegSetKeyValueW(root_, keyPath_.c_str(), ValueName(name).c_str(), REG_SZ, text.c_str(),
                          size);
}

}  // namespace orvello
