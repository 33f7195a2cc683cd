#pragma once
// What the command editor does to a command when the user presses OK, without any window:
// the phrase is normalised, the fields of the chosen action type are checked, and the
// fields that type does not use are cleared.
#include <cstdint>
#include <string>
#include <string_view>

#include "commands/voice_command.h"

namespace orvello {

// Trims blanks, tabs and line breaks, folds A to Z to lower case and strips trailing
// ".,!?;:" (then trims again). Only the end of the whole phrase loses its punctuation.
[[nodiscard]] std::u16string NormalizePhrase(std::u16string_view phrase);

inline constexpr std::u16string_view kEmptyPhraseMessage = u"Phrase cannot be empty.";

// The message refusing the command's action fields, or empty when they are acceptable.
// Types other than RunApp, InsertText and SysCommand are checked as key actions.
[[nodiscard]] std::u16string_view ActionFieldsProblem(const VoiceCommand& command);

// Empties the strings and the step list the command's type does not use. sys_cmd_id and
// sys_cmd_arg are always kept.
void ClearUnusedFields(VoiceCommand& command);

// The action panel shown for an index of the editor's type selector (-1: no selection).
enum class ActionPanelKind { KeyChord, KeySequence, RunApp, InsertText, SystemCommand };
[[nodiscard]] ActionPanelKind PanelKindForSelection(int selectorIndex);

// The type selector's item for a command type; -1 (nothing selected) outside 0 to 4.
[[nodiscard]] int SelectorIndexOfType(ActionType type);

// The System Command panel's selector item for an id: its catalogue position, or the
// first entry ("Volume Up") for 0 and for ids outside the catalogue.
[[nodiscard]] int SystemCommandSelectorIndex(SystemCommandId id);

// The id of a selector item; 0 (none) for anything but the eleven catalogue positions.
[[nodiscard]] SystemCommandId SystemCommandAtSelectorIndex(int selectorIndex);

}  // namespace orvello
