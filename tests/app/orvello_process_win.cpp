#include "tests/app/orvello_process_win.h"

#include <thread>

#include "tests/app/recording_message_pump.h"

namespace orvello::test {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kSettingsKey[] = L"Software\\Brackwater\\Orvello\\Settings";
constexpr wchar_t kProfileKey[] = L"Software\\Brackwater\\Orvello";
constexpr UINT kTrayExitCommand = 32772;

// A window of the program by its caption. The main window and the message boxes share the caption
// "Orvello": the main window is the one with the log area.
struct WindowSearch {
    DWORD processId;
    const wchar_t* title;
    bool mainWindow;
    HWND found;
};

BOOL CALLBACK FindOrvelloWindow(HWND window, LPARAM lParam) {
    auto& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    if (owner == search.processId && std::wstring(title) == search.title &&
        (GetDlgItem(window, 1007) != nullptr) == search.mainWindow) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForOrvelloWindow(DWORD processId, const wchar_t* title, bool mainWindow,
                          std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        WindowSearch search{processId, title, mainWindow, nullptr};
        EnumWindows(FindOrvelloWindow, LPARAM(&search));
        if (search.found != nullptr && (mainWindow || IsWindowVisible(search.found))) {
            return search.found;
        }
        PumpMessagesFor(50ms);
    }
    return nullptr;
}

}  // namespace

std::wstring WindowText(HWND window) {
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(std::size_t(length) + 1, L'\0');
    const auto copied = SendMessageW(window, WM_GETTEXT, WPARAM(text.size()), LPARAM(text.data()));
    text.resize(std::size_t(copied));
    return text;
}

std::wstring RunFolder(const char* unixPath) {
    std::wstring path = L"Z:";
    for (const char* c = unixPath; *c; ++c) path += *c == '/' ? L'\\' : wchar_t(*c);
    return path;
}

OrvelloProcess::OrvelloProcess(const std::wstring& runFolder) {
    std::wstring commandLine = L"\"" + runFolder + L"\\Orvello.exe\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        runFolder.c_str(), &startup, &info)) {
        return;
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    processId_ = info.dwProcessId;
}

OrvelloProcess::~OrvelloProcess() {
    if (process_ == nullptr) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        if (mainWindow_ != nullptr) PostMessageW(mainWindow_, WM_COMMAND, kTrayExitCommand, 0);
        if (WaitForSingleObject(process_, 10000) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, 5000);
        }
    }
    CloseHandle(process_);
}

HWND OrvelloProcess::WaitForMainWindow(std::chrono::milliseconds timeout) {
    mainWindow_ = WaitForOrvelloWindow(processId_, L"Orvello", true, timeout);
    return mainWindow_;
}

HWND OrvelloProcess::WaitForMessageBox(std::chrono::milliseconds timeout) {
    return WaitForOrvelloWindow(processId_, L"Orvello", false, timeout);
}

HWND OrvelloProcess::WaitForDialog(const wchar_t* title, std::chrono::milliseconds timeout) {
    return WaitForOrvelloWindow(processId_, title, false, timeout);
}

// The static that shows a message box's text has the id 0xFFFF.
std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? WindowText(text) : std::wstring();
}

std::optional<DWORD> OrvelloProcess::WaitForExit(std::chrono::milliseconds timeout) {
    if (process_ == nullptr) return std::nullopt;
    if (WaitForSingleObject(process_, DWORD(timeout.count())) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
}

// WM_GETTEXT is carried across processes; GetWindowTextW would not ask the control.
std::wstring OrvelloProcess::ControlText(int controlId) const {
    HWND control = GetDlgItem(mainWindow_, controlId);
    return control != nullptr ? WindowText(control) : std::wstring();
}

bool OrvelloProcess::IsChecked(int controlId) const {
    return SendDlgItemMessageW(mainWindow_, controlId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool OrvelloProcess::WaitForLogContaining(const std::wstring& text,
                                          std::chrono::milliseconds timeout) {
    return PumpMessagesUntil([&] { return ControlText(1007).find(text) != std::wstring::npos; },
                             timeout);
}

void DeleteOrvelloSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProfileKey);
    RegDeleteKeyW(HKEY_CURRENT_USER, kProfileKey);
}

void WriteSettingInt(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

void WriteSettingText(const wchar_t* name, const std::wstring& value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                    DWORD((value.size() + 1) * sizeof(wchar_t)));
}

std::optional<DWORD> ReadSettingInt(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    return value;
}

std::wstring ReadSettingText(const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, value, &size) !=
        ERROR_SUCCESS) {
        return L"(none)";
    }
    return value;
}

bool SettingsKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

}  // namespace orvello::test
