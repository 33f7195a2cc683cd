#include "files/known_folder_win.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>  // SHGetKnownFolderPath, KF_FLAG_CREATE; needs windows.h first
// clang-format on

#include <memory>

namespace orvello {
namespace {

struct CoTaskMemDeleter {
    void operator()(wchar_t* memory) const { ::CoTaskMemFree(memory); }
};
using CoTaskMemString = std::unique_ptr<wchar_t, CoTaskMemDeleter>;

}  // namespace

std::wstring KnownFolderPath(REFKNOWNFOLDERID folder) {
    PWSTR path = nullptr;
    const HRESULT result = ::SHGetKnownFolderPath(folder, KF_FLAG_CREATE, nullptr, &path);
    // The shell's buffer is freed whether or not the call succeeded.
    const CoTaskMemString owned(path);
    if (FAILED(result) || path == nullptr) return {};
    return std::wstring(path);
}

}  // namespace orvello
