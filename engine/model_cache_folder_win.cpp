// Where the model cache lives on Windows: the user's local application data, which is not
// carried along with a roaming profile.
#include <windows.h>
// After windows.h, which they need.
#include <shlobj.h>

#include "engine/model_cache.h"

namespace orvello {

fs::path DefaultModelCacheFolder() {
    PWSTR localAppData = nullptr;
    fs::path folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &localAppData)))
        folder = fs::path(localAppData) / L"Orvello" / L"model-cache";
    CoTaskMemFree(localAppData);
    return folder;
}

}  // namespace orvello
