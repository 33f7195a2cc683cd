#include "tests/output/wine_output_support.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "tests/support/desktop.h"
#include "tests/support/window_capture.h"

namespace orvello::test {

namespace {

constexpr LPARAM kExtendedKeyBit = 1 << 24;

bool IsKeyMessage(UINT message) {
    return message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN ||
           message == WM_SYSKEYUP;
}

std::wstring EventName(const wchar_t* purpose) {
    return L"OrvelloTest_" + std::wstring(purpose) + L"_" + std::to_wstring(GetCurrentProcessId());
}

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindNotepadWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner != search->processId || std::wstring(className) != L"Notepad") return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        PumpMessages(20);
    }
    return true;
}

std::wstring WindowsPath(const std::string& unixPath) {
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    return path;
}

std::string ScratchPath(const std::string& name) {
    const std::string folder = std::string(ORVELLO_BINARY_DIR) + "/test-scratch";
    CreateDirectoryW(WindowsPath(folder).c_str(), nullptr);
    return folder + "/" + name;
}

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    if (!file) return {};
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void PrintTo(const KeyMessage& key, std::ostream* out) {
    const bool system = key.message == WM_SYSKEYDOWN || key.message == WM_SYSKEYUP;
    const bool down = key.message == WM_KEYDOWN || key.message == WM_SYSKEYDOWN;
    *out << (system ? "sys-" : "") << (down ? "down 0x" : "up 0x") << std::hex << key.virtualKey
         << std::dec << (key.extended ? " extended" : "");
}

KeyRecordingWindow::KeyRecordingWindow() : window_(L"Orvello key recording test") {
    window_.OnMessage([this](UINT message, WPARAM wParam, LPARAM lParam) {
        return Record(message, wParam, lParam);
    });
}

bool KeyRecordingWindow::Focus() {
    const bool focused = ShowAndFocus(window_.hwnd());
    PumpMessages(50);
    keys.clear();
    characters.clear();
    return focused;
}

bool KeyRecordingWindow::Record(UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsKeyMessage(message)) {
        keys.push_back({message, static_cast<UINT>(wParam), (lParam & kExtendedKeyBit) != 0});
        return true;
    }
    if (message == WM_CHAR) {
        characters += static_cast<wchar_t>(wParam);
        return true;
    }
    return false;
}

KeyMessage Pressed(UINT virtualKey, bool extended) {
    return {WM_KEYDOWN, virtualKey, extended};
}

KeyMessage Released(UINT virtualKey, bool extended) {
    return {WM_KEYUP, virtualKey, extended};
}

std::vector<KeyMessage> WithoutSystemKeys(std::vector<KeyMessage> keys) {
    for (KeyMessage& key : keys) {
        if (key.message == WM_SYSKEYDOWN) key.message = WM_KEYDOWN;
        if (key.message == WM_SYSKEYUP) key.message = WM_KEYUP;
    }
    return keys;
}

EditWindow::EditWindow() : window_(L"Orvello edit test") {
    edit_ =
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_MULTILINE | WS_VSCROLL, 10, 10,
                        360, 220, window_.hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
}

bool EditWindow::Focus() {
    const bool focused = ShowAndFocus(window_.hwnd());
    SetFocus(edit_);
    PumpMessages(50);
    return focused && GetFocus() == edit_;
}

std::wstring EditWindow::Text() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit_, text.data(), int(text.size()))));
    return text;
}

ChildProcess::ChildProcess(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_))
        process_ = {};
}

ChildProcess::~ChildProcess() {
    if (!process_.hProcess) return;
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.hProcess, 1);
        WaitForSingleObject(process_.hProcess, 5000);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

bool ChildProcess::WaitForExit(std::chrono::milliseconds timeout) {
    return process_.hProcess &&
           WaitForSingleObject(process_.hProcess, DWORD(timeout.count())) == WAIT_OBJECT_0;
}

Notepad::Notepad() : process_(L"notepad.exe") {
    if (!process_.IsRunning()) return;
    WindowSearch search{process_.Id(), nullptr};
    (void)WaitUntil(
        [&] {
            EnumWindows(FindNotepadWindow, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr && IsWindowVisible(search.found);
        },
        std::chrono::seconds(20));
    main_ = search.found;
    if (main_) edit_ = FindWindowExW(main_, nullptr, L"Edit", nullptr);
}

bool Notepad::Focus() {
    return ShowAndFocus(main_);
}

std::wstring Notepad::Text() const {
    // Another process's window: only WM_GETTEXT reads its contents.
    DWORD_PTR length = 0;
    SendMessageTimeoutW(edit_, WM_GETTEXTLENGTH, 0, 0, SMTO_BLOCK, 5000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(edit_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                        SMTO_BLOCK, 5000, &copied);
    text.resize(copied);
    return text;
}

ClipboardHolder::ClipboardHolder()
    : heldEvent_(CreateEventW(nullptr, TRUE, FALSE, EventName(L"ClipboardHeld").c_str())),
      releaseEvent_(CreateEventW(nullptr, TRUE, FALSE, EventName(L"ClipboardRelease").c_str())) {
    process_ = std::make_unique<ChildProcess>(WindowsPath(ORVELLO_CLIPBOARD_HOLDER_EXE) + L" " +
                                              EventName(L"ClipboardHeld") + L" " +
                                              EventName(L"ClipboardRelease"));
    holding_ = process_->IsRunning() && WaitForSingleObject(heldEvent_, 20000) == WAIT_OBJECT_0;
}

ClipboardHolder::~ClipboardHolder() {
    SetEvent(releaseEvent_);
    (void)process_->WaitForExit(std::chrono::seconds(10));
    process_.reset();
    CloseHandle(heldEvent_);
    CloseHandle(releaseEvent_);
}

bool ClipboardHoldsText() {
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

std::wstring ClipboardTextDirect() {
    if (!OpenClipboard(nullptr)) return L"<clipboard not opened>";
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        const SIZE_T units = GlobalSize(data) / sizeof(wchar_t);
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            text.assign(locked, wcsnlen(locked, units));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool SetClipboardTextDirect(const std::wstring& text) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    bool placed = false;
    if (auto* units = static_cast<wchar_t*>(GlobalLock(block))) {
        std::copy(text.c_str(), text.c_str() + text.size() + 1, units);
        GlobalUnlock(block);
        placed = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    }
    if (!placed) GlobalFree(block);
    CloseClipboard();
    return placed;
}

}  // namespace orvello::test
