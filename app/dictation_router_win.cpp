#include "app/dictation_router_win.h"

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "app/app_messages.h"
#include "audio/command_sound_win.h"
#include "output/output_win.h"
#include "text/utf_conversion.h"
#include "trigger/key_release_wait.h"
#include "trigger/physical_keys_win.h"

namespace orvello {

namespace {

// Whether mainWindow owns window, directly or through its owner's owner and so on.
bool IsOwnedBy(HWND window, HWND mainWindow) {
    for (HWND owner = ::GetWindow(window, GW_OWNER); owner != nullptr;
         owner = ::GetWindow(owner, GW_OWNER)) {
        if (owner == mainWindow) return true;
    }
    return false;
}

}  // namespace

bool IsOwnWindowInFront(HWND mainWindow) {
    if (mainWindow == nullptr) return false;
    const HWND foreground = ::GetForegroundWindow();
    if (foreground == nullptr) return false;
    // Our dialogs and message boxes are popups owned by the main window, not its children.
    // Typing into them could press their default button (Enter on "Delete this command?").
    if (IsOwnedBy(foreground, mainWindow)) return true;
    if (!::IsWindowVisible(mainWindow)) return false;
    return foreground == mainWindow || ::IsChild(mainWindow, foreground);
}

WinRoutingPlatform::WinRoutingPlatform(HWND mainWindow, LogSink appendLog,
                                       UINT_PTR clipboardTimerId)
    : mainWindow_(mainWindow),
      appendLog_(std::move(appendLog)),
      clipboard_(mainWindow, clipboardTimerId, appendLog_) {}

bool WinRoutingPlatform::IsTestMode() {
    return IsOwnWindowInFront(mainWindow_);
}

bool WinRoutingPlatform::ExecuteCommand(const VoiceCommand& command, std::u16string& errorText) {
    return orvello::ExecuteCommand(command, commandPlatform_, &errorText);
}

void WinRoutingPlatform::PlayCommandSound() {
    orvello::PlayCommandSound();
}

bool WinRoutingPlatform::TypeText(std::u16string_view text) {
    return orvello::TypeText(ToWideString(text));
}

bool WinRoutingPlatform::PasteText(std::u16string_view text) {
    return clipboard_.PasteText(ToWideString(text));
}

void WinRoutingPlatform::AppendLog(std::u16string_view line) {
    if (appendLog_) appendLog_(ToWideString(line));
}

bool WinRoutingPlatform::WaitForKeysUp(std::span<const ModifierKey> keys) {
    return orvello::WaitForKeysUp(keys, IsKeyPhysicallyDown);
}

std::optional<RoutedResult> HandleResultTextMessage(TextMailbox& texts, const RoutingState& state,
                                                    RoutingPlatform& platform) {
    const std::optional<std::wstring> text = texts.Take(WM_APP_RESULT_TEXT);
    if (!text || text->empty()) return std::nullopt;
    return RouteRecognizedText(FromWideString(*text), state, platform);
}

}  // namespace orvello
