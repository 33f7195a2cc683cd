#pragma once
// Windows only: the recognition service's callbacks as the main window uses them. They run on
// the service's recording and worker threads, so each one only copies its data into a message
// posted to the main window and never waits for that window's thread.
#include <windows.h>

#include <string>
#include <string_view>

#include "app/text_message_win.h"
#include "engine/recognition_service.h"

namespace orvello {

// Narrow text in the calling thread's ANSI code page (status lines, error messages with paths
// and system texts) as UTF-16.
[[nodiscard]] std::wstring AnsiToWide(std::string_view text);
// UTF-8 (the engine's recognised text) as UTF-16; ill-formed bytes become U+FFFD.
[[nodiscard]] std::wstring Utf8ToWide(std::string_view text);

// The input level 0.0..1.0 as WM_APP_AUDIO_LEVEL carries it: × 1000, truncated; negative
// levels give 0.
[[nodiscard]] WPARAM RawAudioLevel(float level);

// A callback that posts a narrow line for the log as WM_APP_STATUS_TEXT, its text through `texts`.
[[nodiscard]] std::function<void(const std::string&)> MakeStatusLineCallback(
    HWND window, SharedTextMailbox texts);

// Callbacks that post WM_APP_STATUS_TEXT, WM_APP_RESULT_TEXT, WM_APP_AUDIO_LEVEL,
// WM_APP_CAPTURE_DONE, WM_APP_SESSION_DONE, WM_APP_LONG_QUIET and WM_APP_DRAFT_TEXT to `window`,
// the texts through `texts`. A copy of the handle suffices: once the window is gone its messages
// are simply not delivered (and their texts taken back).
[[nodiscard]] RecognitionCallbacks MakeRecordingCallbacks(HWND window, SharedTextMailbox texts);

}  // namespace orvello
