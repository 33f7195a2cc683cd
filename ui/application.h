#pragma once
// What the window layer knows about the program around it, all of it set by
// the program at start-up: the module holding the resources, the main window
// (default owner of dialogs and message boxes), the application title (string
// resource 57344, as message-box caption) and where exceptions caught at a
// window procedure are reported.
#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace orvello::ui {

// String resource with the application's title, the caption of AppMessageBox.
inline constexpr UINT kApplicationTitleStringId = 57344;

// The module whose resources (dialog templates, strings, icons) the layer loads;
// the executable unless set otherwise.
[[nodiscard]] HINSTANCE ResourceInstance();
void SetResourceInstance(HINSTANCE instance);

// The program's main window: owner of dialogs created without a parent.
[[nodiscard]] HWND MainWindow();
void SetMainWindow(HWND window);

// The text of string resource `id` from ResourceInstance(); empty when absent.
[[nodiscard]] std::wstring LoadResourceString(UINT id);

// A message box captioned with the application title, owned by the active window of
// this thread (or the main window). `type` holds the MB_ buttons, icon and default
// button flags, for example MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2. Returns the
// button pressed (IDOK, IDYES, ...).
int AppMessageBox(std::wstring_view text, UINT type = MB_OK | MB_ICONEXCLAMATION);

// What Windows says about an error code (FormatMessageW, the system's own text without its
// line break), for telling the user why something was refused; "error N" when it has none.
[[nodiscard]] std::wstring SystemErrorText(DWORD errorCode);

// Receives a description of every exception caught at a window procedure; by default
// it goes to OutputDebugStringW. Pass an empty function to restore the default.
using ExceptionReporter = std::function<void(const std::wstring& description)>;
void SetExceptionReporter(ExceptionReporter reporter);

// Reports the exception being handled; call only inside a catch block.
void ReportCurrentException(std::wstring_view where) noexcept;

}  // namespace orvello::ui
