#pragma once
// Windows only: the real Orvello.exe as a separate process of the test's Wine session, seen from
// the outside the way the user sees it: its main window, its controls, its log.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

namespace orvello::test {

// A run folder laid out by the build (the program, ONNX Runtime, models\), as a Windows path.
[[nodiscard]] std::wstring RunFolder(const char* unixPath);

class OrvelloProcess {
public:
    explicit OrvelloProcess(const std::wstring& runFolder);
    // Ends the program if it still runs: its tray "Exit" first, then by force.
    ~OrvelloProcess();
    OrvelloProcess(const OrvelloProcess&) = delete;
    OrvelloProcess& operator=(const OrvelloProcess&) = delete;

    [[nodiscard]] bool Started() const { return process_ != nullptr; }
    [[nodiscard]] HANDLE Handle() const { return process_; }
    // The main window (visible or not) once the program has created it; null on time-out.
    [[nodiscard]] HWND WaitForMainWindow(
        std::chrono::milliseconds timeout = std::chrono::seconds(20));
    // The exit code once the process has ended; nothing on time-out.
    [[nodiscard]] std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout);

    // A message box of the program (captioned "Orvello" like the main window); null on time-out.
    [[nodiscard]] HWND WaitForMessageBox(
        std::chrono::milliseconds timeout = std::chrono::seconds(20));

    // A visible dialog of the program with this caption; null on time-out.
    [[nodiscard]] HWND WaitForDialog(const wchar_t* title,
                                     std::chrono::milliseconds timeout = std::chrono::seconds(20));

    [[nodiscard]] HWND MainWindow() const { return mainWindow_; }
    [[nodiscard]] std::wstring ControlText(int controlId) const;
    [[nodiscard]] bool IsChecked(int controlId) const;
    // Waits until the log holds `text`; false on time-out.
    [[nodiscard]] bool WaitForLogContaining(const std::wstring& text,
                                            std::chrono::milliseconds timeout);

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
    HWND mainWindow_ = nullptr;
};

// The text of a window of another process (WM_GETTEXT, which is carried across processes).
[[nodiscard]] std::wstring WindowText(HWND window);

// The text of a message box.
[[nodiscard]] std::wstring MessageBoxText(HWND box);

// The Orvello settings key of the current user, removed with everything in it.
void DeleteOrvelloSettings();
void WriteSettingInt(const wchar_t* name, DWORD value);
void WriteSettingText(const wchar_t* name, const std::wstring& value);
[[nodiscard]] std::optional<DWORD> ReadSettingInt(const wchar_t* name);
// "(none)" when the value is missing or not text.
[[nodiscard]] std::wstring ReadSettingText(const wchar_t* name);
[[nodiscard]] bool SettingsKeyExists();

}  // namespace orvello::test
