#pragma once
// Windows only: application messages posted to the main window.
#include <windows.h>

#include "audio/input_test_win.h"  // WM_APP_TEST_LEVEL (WM_APP + 7), posted by the input test

namespace orvello {

// A recognised text to route. wParam and lParam 0: the text waits in the window's mailbox
// (app/text_message_win.h).
inline constexpr UINT WM_APP_RESULT_TEXT = WM_APP + 3;

// ---- Recording control: the tray, the recognition service's callbacks and the input test ----
// The notification area's icon messages: wParam the icon id, lParam the mouse message.
inline constexpr UINT WM_APP_TRAY_NOTIFY = WM_APP + 1;
// A status line for the log ("[Recording...]", "Error: ..."). wParam and lParam 0: the text
// waits in the window's mailbox (app/text_message_win.h).
inline constexpr UINT WM_APP_STATUS_TEXT = WM_APP + 2;
// The input level of one captured buffer: wParam the level × 1000, truncated; lParam 0.
inline constexpr UINT WM_APP_AUDIO_LEVEL = WM_APP + 4;
// The recording's capture device has been closed. wParam and lParam 0.
inline constexpr UINT WM_APP_CAPTURE_DONE = WM_APP + 5;
// The processing of a recording is over. wParam and lParam 0.
inline constexpr UINT WM_APP_SESSION_DONE = WM_APP + 6;
static_assert(WM_APP_TEST_LEVEL == WM_APP + 7);
// The recording has been quiet for two minutes without a break. wParam and lParam 0.
inline constexpr UINT WM_APP_LONG_QUIET = WM_APP + 12;
// The recording's text so far, after a draft. wParam and lParam 0: the text waits in the
// window's mailbox (app/text_message_win.h).
inline constexpr UINT WM_APP_DRAFT_TEXT = WM_APP + 13;
// ---- end of recording control ----

}  // namespace orvello
