#pragma once
// Windows only: routing with the real foreground-window queries, command execution, command
// sound and text output, and the handler of WM_APP_RESULT_TEXT.
#include <windows.h>

#include <functional>
#include <optional>
#include <string_view>

#include "app/dictation_router.h"
#include "app/text_message_win.h"
#include "commands/command_execution_win.h"
#include "output/clipboard_keeper_win.h"

namespace orvello {

// True when the user is trying Orvello out in its own window: mainWindow is visible and the
// foreground window is mainWindow or one of its descendants, or the foreground window is one
// of Orvello's dialogs or message boxes (owned by mainWindow, directly or through another).
[[nodiscard]] bool IsOwnWindowInFront(HWND mainWindow);

class WinRoutingPlatform final : public RoutingPlatform {
public:
    // Receives each log line, "\r\n" included; the main window's log area.
    using LogSink = std::function<void(std::wstring_view line)>;

    // Pastes pace the restore of the user's clipboard with the timer `clipboardTimerId` of
    // mainWindow, whose WM_TIMER goes to OnClipboardRestoreTimer.
    WinRoutingPlatform(HWND mainWindow, LogSink appendLog, UINT_PTR clipboardTimerId = 1);

    // "Restore Clipboard After Paste".
    void SetRestoreClipboard(bool restore) { clipboard_.SetRestoreAfterPaste(restore); }
    void OnClipboardRestoreTimer() { clipboard_.OnRestoreTimer(); }

    [[nodiscard]] bool IsTestMode() override;
    [[nodiscard]] bool ExecuteCommand(const VoiceCommand& command,
                                      std::u16string& errorText) override;
    void PlayCommandSound() override;
    [[nodiscard]] bool TypeText(std::u16string_view text) override;
    [[nodiscard]] bool PasteText(std::u16string_view text) override;
    void AppendLog(std::u16string_view line) override;
    [[nodiscard]] bool WaitForKeysUp(std::span<const ModifierKey> keys) override;

private:
    HWND mainWindow_;
    LogSink appendLog_;
    ClipboardKeeper clipboard_;
    WinCommandPlatform commandPlatform_{&clipboard_};
};

// The WM_APP_RESULT_TEXT handler: takes the oldest result text from the mailbox and routes it
// unless it is empty; a message with no text waiting (another program's) does nothing. Returns
// what became of the text, nothing when none was routed; the message's result is 0.
std::optional<RoutedResult> HandleResultTextMessage(TextMailbox& texts, const RoutingState& state,
                                                    RoutingPlatform& platform);

}  // namespace orvello
