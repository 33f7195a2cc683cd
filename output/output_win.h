#pragma once

// Windows only: text and key output into whatever window has the keyboard focus.
// Every operation runs on the calling (user-interface) thread and reports only a
// boolean; none looks at the focus, waits, retries or releases keys the user holds.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "output/key_step.h"
#include "output/keyboard_input.h"

namespace orvello {

// One SendInput call per batch.
class SendInputSender final : public KeyboardInputSender {
public:
    [[nodiscard]] std::size_t Send(std::span<const KeyboardInput> events) override;
};

// Types the text as Unicode key events in one SendInput call (line feeds as Enter,
// carriage returns dropped). True when every event was accepted or there was nothing
// to send.
[[nodiscard]] bool TypeText(std::wstring_view text);

// Puts the text on the clipboard, where it stays (kept out of clipboard history), then sends
// Ctrl+V. True when the clipboard was set and all four key events were accepted, and for empty
// text, which leaves the clipboard alone. No keys are sent when the clipboard cannot be set.
// ClipboardKeeper pastes the same way and puts the user's clipboard back afterwards.
[[nodiscard]] bool PasteText(std::wstring_view text);

// Presses one key chord. True when every event was accepted, and for an empty step.
[[nodiscard]] bool SendKeyStep(const KeyStep& step);

// Presses the steps in order; a refused step does not stop the rest.
[[nodiscard]] bool SendKeySteps(std::span<const KeyStep> steps);

// Presses a volume or media key.
[[nodiscard]] bool SendMediaKey(std::uint16_t virtualKey);

// The step's display text, with the key named by the active keyboard layout.
[[nodiscard]] std::wstring FormatKeyStep(const KeyStep& step);

}  // namespace orvello
