#include "dialogs/key_capture.h"

namespace orvello {

namespace {

constexpr std::uint16_t kEscape = 27;

// Shift, Ctrl, Alt (16 to 18), the Windows keys (91, 92) and the left/right Shift, Ctrl
// and Alt keys (160 to 165).
bool IsModifierKey(std::uint16_t virtualKey) {
    return (virtualKey >= 16 && virtualKey <= 18) || virtualKey == 91 || virtualKey == 92 ||
           (virtualKey >= 160 && virtualKey <= 165);
}

}  // namespace

CaptureDecision DecideCapturedKey(std::uint16_t virtualKey, const HeldModifiers& held) {
    if (IsModifierKey(virtualKey)) return {};
    if (virtualKey == kEscape) return {CaptureOutcome::Abandon, {}};
    return {CaptureOutcome::Complete,
            KeyStep{held.ctrl, held.alt, held.shift, held.win, virtualKey}};
}

}  // namespace orvello
