// onnxruntime.dll, loaded from the program's folder when the engine first
// needs it. The runtime needs the Microsoft Visual C++ runtime, which Windows
// does not ship; when either is missing the user is told which file and what
// to install, and the rest of Orvello keeps working.
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "engine/model_files.h"
#include "engine/ort_library.h"

namespace orvello {
namespace {

constexpr const wchar_t* kRuntimeFileName = L"onnxruntime.dll";
constexpr const char* kVisualCppAdvice =
    " Install the Microsoft Visual C++ 2015-2022 Redistributable (x64), vc_redist.x64.exe from "
    "Microsoft (https://aka.ms/vs/17/release/vc_redist.x64.exe), then choose Reload Engine.";

// The DLL names in an image's import directory; empty when it cannot be read.
std::vector<std::string> ImportedDllNames(const fs::path& file) {
    HMODULE mapping = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!mapping) return {};
    // A resource mapping's handle carries flags in its low bits.
    const auto* base =
        reinterpret_cast<const BYTE*>(reinterpret_cast<ULONG_PTR>(mapping) & ~ULONG_PTR(3));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    std::vector<std::string> names;
    if (dos->e_magic == IMAGE_DOS_SIGNATURE && nt->Signature == IMAGE_NT_SIGNATURE &&
        nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR_MAGIC) {
        const IMAGE_DATA_DIRECTORY& imports =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        const auto* entry =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
        for (; imports.VirtualAddress && entry->Name; ++entry)
            names.emplace_back(reinterpret_cast<const char*>(base + entry->Name));
    }
    FreeLibrary(mapping);
    return names;
}

std::vector<std::string> UnloadableImports(const fs::path& file) {
    std::vector<std::string> unloadable;
    for (const std::string& name : ImportedDllNames(file)) {
        if (HMODULE module = LoadLibraryA(name.c_str()))
            FreeLibrary(module);
        else
            unloadable.push_back(name);
    }
    return unloadable;
}

bool IsVisualCppRuntime(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return name.starts_with("msvcp") || name.starts_with("vcruntime") || name.starts_with("concrt");
}

std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : "error " + std::to_string(error);
    LocalFree(text);
    while (!message.empty() && std::isspace(static_cast<unsigned char>(message.back())))
        message.pop_back();
    return message;
}

std::string JoinNames(const std::vector<std::string>& names) {
    std::string joined;
    for (const std::string& name : names) joined += (joined.empty() ? "" : ", ") + name;
    return joined;
}

[[noreturn]] void ThrowLoadFailure(const fs::path& file, DWORD error) {
    const std::vector<std::string> missing = UnloadableImports(file);
    if (missing.empty()) {
        std::string message = "onnxruntime.dll could not be loaded: " + SystemMessage(error) + ".";
        if (error == ERROR_MOD_NOT_FOUND) message += kVisualCppAdvice;
        throw RuntimeUnavailableError(message);
    }
    std::string message = "onnxruntime.dll cannot start: it needs " + JoinNames(missing) +
                          (missing.size() == 1 ? ", which is" : ", which are") +
                          " not installed on this computer.";
    if (std::any_of(missing.begin(), missing.end(), IsVisualCppRuntime))
        message += kVisualCppAdvice;
    throw RuntimeUnavailableError(message);
}

HMODULE LoadRuntime() {
    const fs::path file = ExecutableDirectory() / kRuntimeFileName;
    if (!PathExists(file))
        throw RuntimeUnavailableError(
            "onnxruntime.dll is missing: it belongs beside Orvello.exe in " +
            PathForMessage(file.parent_path()) + ". Unzip or install Orvello again.");
    // No system error box for a missing dependency; the message below says it.
    DWORD previousMode = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previousMode);
    HMODULE runtime = LoadLibraryExW(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD error = GetLastError();
    SetThreadErrorMode(previousMode, nullptr);
    if (!runtime) ThrowLoadFailure(file, error);
    return runtime;
}

}  // namespace

const OrtApiBase& LoadOrtApiBase() {
    // The runtime stays loaded for the life of the process. Its one entry
    // point, OrtGetApiBase, is exported as ordinal 1.
    using GetApiBase = const OrtApiBase*(ORT_API_CALL*)();
    static const HMODULE runtime = LoadRuntime();
    const auto getApiBase = reinterpret_cast<GetApiBase>(
        reinterpret_cast<void*>(GetProcAddress(runtime, MAKEINTRESOURCEA(1))));
    const OrtApiBase* base = getApiBase ? getApiBase() : nullptr;
    if (!base)
        throw RuntimeUnavailableError(
            "onnxruntime.dll offers no OrtGetApiBase; ONNX Runtime 1.24 or later is needed.");
    return *base;
}

}  // namespace orvello
