#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "output/keyboard_input.h"

namespace orvello {

// The events that type a text as Unicode characters, independent of the keyboard layout:
// a down and an up event per UTF-16 code unit (each half of a surrogate pair and a tab
// included), an Enter key press for each line feed, nothing for a carriage return, so
// that CR LF gives one Enter. The list is allocated once, with room for two events per
// code unit, which it never outgrows.
[[nodiscard]] std::vector<KeyboardInput> BuildTextEvents(std::u16string_view text);
#ifdef _WIN32
[[nodiscard]] std::vector<KeyboardInput> BuildTextEvents(std::wstring_view text);
#endif

// Types the text as one batch. True when the sender took every event, and when there was
// nothing to send (empty text, or only carriage returns), in which case it is not called.
[[nodiscard]] bool TypeText(std::u16string_view text, KeyboardInputSender& sender);
#ifdef _WIN32
[[nodiscard]] bool TypeText(std::wstring_view text, KeyboardInputSender& sender);
#endif

// Ctrl+V with the generic Ctrl key: Ctrl down, V down, V up, Ctrl up.
[[nodiscard]] std::array<KeyboardInput, 4> BuildPasteEvents();

// Sends Ctrl+V as one batch; true when all four events were taken.
[[nodiscard]] bool SendPasteKeys(KeyboardInputSender& sender);

}  // namespace orvello
