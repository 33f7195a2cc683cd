#include "app/recording_callbacks_win.h"

#include <climits>

#include "app/app_messages.h"

namespace orvello {

namespace {

std::wstring MultiByteToWide(UINT codePage, std::string_view text) {
    if (text.empty() || text.size() > std::size_t(INT_MAX)) return {};
    const int inputLength = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), inputLength, nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), inputLength, wide.data(), length);
    return wide;
}

}  // namespace

std::wstring AnsiToWide(std::string_view text) {
    return MultiByteToWide(CP_THREAD_ACP, text);
}

std::wstring Utf8ToWide(std::string_view text) {
    return MultiByteToWide(CP_UTF8, text);
}

WPARAM RawAudioLevel(float level) {
    // Also false for NaN, which must not reach the float-to-integer conversion.
    if (!(level > 0.0f)) return 0;
    return static_cast<WPARAM>(level * 1000.0f);
}

// A failed post has taken its text back; a thread of the service has nobody to tell.
std::function<void(const std::string&)> MakeStatusLineCallback(HWND window,
                                                               SharedTextMailbox texts) {
    return [window, texts](const std::string& line) {
        (void)texts->Post(window, WM_APP_STATUS_TEXT, AnsiToWide(line));
    };
}

RecognitionCallbacks MakeRecordingCallbacks(HWND window, SharedTextMailbox texts) {
    return RecognitionCallbacks{
        .onStatus = MakeStatusLineCallback(window, texts),
        .onText =
            [window, texts](const std::string& text) {
                (void)texts->Post(window, WM_APP_RESULT_TEXT, Utf8ToWide(text));
            },
        .onLevel =
            [window](float level) {
                ::PostMessageW(window, WM_APP_AUDIO_LEVEL, RawAudioLevel(level), 0);
            },
        .onCaptureEnded = [window] { ::PostMessageW(window, WM_APP_CAPTURE_DONE, 0, 0); },
        .onFinished = [window] { ::PostMessageW(window, WM_APP_SESSION_DONE, 0, 0); },
        .onLongQuiet = [window] { ::PostMessageW(window, WM_APP_LONG_QUIET, 0, 0); },
        .onDraftText =
            [window, texts](const std::string& textSoFar) {
                (void)texts->Post(window, WM_APP_DRAFT_TEXT, Utf8ToWide(textSoFar));
            },
    };
}

}  // namespace orvello
