#pragma once
// What the Wine tests of text and key output and of command execution share: windows that
// show what arrived, waiting while messages are handled, child processes (Wine's notepad,
// a program that holds the clipboard open) and direct clipboard access.
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/test_window.h"

namespace orvello::test {

// Handles this thread's messages until the condition holds or the time is up; returns
// whether it holds.
[[nodiscard]] bool WaitUntil(const std::function<bool()>& condition,
                             std::chrono::milliseconds timeout = std::chrono::seconds(5));

// The Wine path (drive Z:) of a Unix path.
[[nodiscard]] std::wstring WindowsPath(const std::string& unixPath);

// A Unix path for a scratch file of this test run, in the build tree.
[[nodiscard]] std::string ScratchPath(const std::string& name);

// A file's bytes, or nothing when it cannot be read.
[[nodiscard]] std::string ReadWholeFile(const std::wstring& path);

struct KeyMessage {
    UINT message;  // WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN or WM_SYSKEYUP
    UINT virtualKey;
    bool extended;  // bit 24 of the key message's parameter

    friend bool operator==(const KeyMessage&, const KeyMessage&) = default;
};

// How test failures show a key message: "down 0xB3 extended".
void PrintTo(const KeyMessage& key, std::ostream* out);

// A focused top-level window that notes every key message and every character it is sent,
// and handles them itself, so that Alt never opens a system menu.
class KeyRecordingWindow {
public:
    KeyRecordingWindow();
    [[nodiscard]] HWND hwnd() const { return window_.hwnd(); }
    [[nodiscard]] bool Focus();

    std::vector<KeyMessage> keys;
    std::wstring characters;

private:
    bool Record(UINT message, WPARAM wParam, LPARAM lParam);
    TestWindow window_;
};

// Key-down and key-up messages by virtual key, whatever the Alt state made of them.
[[nodiscard]] KeyMessage Pressed(UINT virtualKey, bool extended = false);
[[nodiscard]] KeyMessage Released(UINT virtualKey, bool extended = false);
// The same notes with the system-key messages folded into plain ones.
[[nodiscard]] std::vector<KeyMessage> WithoutSystemKeys(std::vector<KeyMessage> keys);

// A focused top-level window with a multi-line edit control that has the keyboard focus.
class EditWindow {
public:
    EditWindow();
    [[nodiscard]] bool Focus();
    [[nodiscard]] std::wstring Text() const;
    [[nodiscard]] HWND edit() const { return edit_; }

private:
    TestWindow window_;
    HWND edit_ = nullptr;
};

// A process this test started, ended when the test is over.
class ChildProcess {
public:
    // Starts the command line; IsRunning() tells whether it worked.
    explicit ChildProcess(std::wstring commandLine);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    [[nodiscard]] bool IsRunning() const { return process_.hProcess != nullptr; }
    [[nodiscard]] DWORD Id() const { return process_.dwProcessId; }
    // Waits for the process to end by itself; false when it did not in time.
    [[nodiscard]] bool WaitForExit(std::chrono::milliseconds timeout);

private:
    PROCESS_INFORMATION process_{};
};

// Wine's notepad in a process of its own, its edit control read through WM_GETTEXT.
class Notepad {
public:
    Notepad();
    [[nodiscard]] bool Started() const { return edit_ != nullptr; }
    // Gives the X focus to notepad; its edit control then has the keyboard focus.
    [[nodiscard]] bool Focus();
    [[nodiscard]] std::wstring Text() const;

private:
    ChildProcess process_;
    HWND main_ = nullptr;
    HWND edit_ = nullptr;
};

// Another process holding the clipboard open until this object is destroyed.
class ClipboardHolder {
public:
    ClipboardHolder();
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    // True once the other process has the clipboard open.
    [[nodiscard]] bool Holding() const { return holding_; }

private:
    HANDLE heldEvent_;
    HANDLE releaseEvent_;
    std::unique_ptr<ChildProcess> process_;
    bool holding_ = false;
};

// The clipboard's text through the plain Windows calls; nothing when it holds no text.
[[nodiscard]] bool ClipboardHoldsText();
[[nodiscard]] std::wstring ClipboardTextDirect();
// Puts text on the clipboard through the plain Windows calls.
[[nodiscard]] bool SetClipboardTextDirect(const std::wstring& text);

}  // namespace orvello::test
