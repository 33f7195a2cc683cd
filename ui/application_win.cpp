// The program-wide settings of the window layer, application message boxes and
// the report of exceptions caught at window procedures.
#include "ui/application.h"

#include <exception>
#include <string>
#include <utility>

namespace orvello::ui {
namespace {

HINSTANCE resourceInstance = nullptr;
HWND mainWindow = nullptr;
ExceptionReporter exceptionReporter;

std::wstring WidenUtf8(const char* text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(size_t(length - 1));
    return wide;
}

// The executable's base name, the caption when the title string is missing.
std::wstring ModuleBaseName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path);
    if (const size_t slash = name.find_last_of(L"\\/"); slash != std::wstring::npos)
        name.erase(0, slash + 1);
    if (const size_t dot = name.rfind(L'.'); dot != std::wstring::npos) name.erase(dot);
    return name;
}

std::wstring DescribeCurrentException() {
    try {
        throw;
    } catch (const std::exception& error) {
        return WidenUtf8(error.what());
    } catch (...) {
        return L"an exception of unknown type";
    }
}

}  // namespace

HINSTANCE ResourceInstance() {
    return resourceInstance ? resourceInstance : GetModuleHandleW(nullptr);
}
void SetResourceInstance(HINSTANCE instance) {
    resourceInstance = instance;
}

HWND MainWindow() {
    return mainWindow;
}
void SetMainWindow(HWND window) {
    mainWindow = window;
}

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    // With a buffer size of 0, LoadStringW hands out the resource's own text (not terminated).
    const int length = LoadStringW(ResourceInstance(), id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, size_t(length)) : std::wstring();
}

int AppMessageBox(std::wstring_view text, UINT type) {
    std::wstring caption = LoadResourceString(kApplicationTitleStringId);
    if (caption.empty()) caption = ModuleBaseName();
    HWND owner = GetActiveWindow();
    if (!owner) owner = mainWindow;
    return MessageBoxW(owner, std::wstring(text).c_str(), caption.c_str(), type);
}

std::wstring SystemErrorText(DWORD errorCode) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = length > 0 && buffer ? std::wstring(buffer, length) : std::wstring();
    LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text.empty() ? L"error " + std::to_wstring(errorCode) : text;
}

void SetExceptionReporter(ExceptionReporter reporter) {
    exceptionReporter = std::move(reporter);
}

void ReportCurrentException(std::wstring_view where) noexcept {
    try {
        const std::wstring description =
            L"Unhandled exception in " + std::wstring(where) + L": " + DescribeCurrentException();
        if (exceptionReporter) {
            exceptionReporter(description);
        } else {
            OutputDebugStringW((description + L"\n").c_str());
        }
    } catch (...) {
        OutputDebugStringW(L"Unhandled exception, and its report failed\n");
    }
}

}  // namespace orvello::ui
