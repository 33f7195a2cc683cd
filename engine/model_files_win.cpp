// The program's directory and message paths on Windows.
#include <windows.h>

#include <vector>

#include "engine/model_files.h"

namespace orvello {

fs::path ExecutableDirectory() {
    constexpr DWORD kCapacity = 32768;
    std::vector<wchar_t> buffer(kCapacity);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), kCapacity);
    if (length > 0 && length < kCapacity)
        return fs::path(buffer.data(), buffer.data() + length).parent_path();
    std::error_code error;
    const fs::path current = fs::current_path(error);
    if (error) throw fs::filesystem_error("current_path()", error);
    return current;
}

std::string PathForMessage(const fs::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(size_t(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), int(wide.size()), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

}  // namespace orvello
