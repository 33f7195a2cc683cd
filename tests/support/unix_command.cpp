#include "tests/support/unix_command.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

namespace orvello::test {
namespace {

// Quotes one argument the way the Windows command-line parser reads it back.
std::wstring QuoteWindowsArgument(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') backslashes = backslashes * 2 + 1;
        quoted.append(backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, L'\\');
    return quoted + L"\"";
}

std::wstring Widen(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
    return wide;
}

bool Launch(const std::string& shellCommand) {
    std::wstring commandLine = L"/bin/sh -c " + QuoteWindowsArgument(Widen(shellCommand));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

std::string NewMarkerPath() {
    static std::atomic<int> counter{0};
    char path[128];
    std::snprintf(path, sizeof path, "/tmp/orvello-test-%lu-%d.status", GetCurrentProcessId(),
                  counter++);
    return path;
}

}  // namespace

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int RunUnixCommand(const std::string& shellCommand, std::chrono::milliseconds timeout) {
    const std::string marker = NewMarkerPath();
    const std::string wrapped = "( " + shellCommand + " ); echo $? > " + marker + ".part && mv " +
                                marker + ".part " + marker;
    if (!Launch(wrapped)) return -1;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    // Under Wine, a path starting with "/" resolves on drive Z:, the Unix root.
    const std::wstring windowsMarker = L"Z:" + Widen(marker);
    while (std::chrono::steady_clock::now() < deadline) {
        std::ifstream status(windowsMarker.c_str());
        int code = -1;
        if (status >> code) {
            status.close();
            DeleteFileW(windowsMarker.c_str());
            return code;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
}

bool StartUnixCommand(const std::string& shellCommand) {
    return Launch("( " + shellCommand + " ) >/dev/null 2>&1 &");
}

std::string TestEnvironment(const char* name) {
    char value[4096];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

}  // namespace orvello::test
