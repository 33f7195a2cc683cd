#pragma once
// The commands dialog without its window: the table's columns and rows, which buttons are
// enabled, and the list edits behind "Delete", "Move Up" and "Move Down" with the row that is
// selected afterwards.
#include <string>
#include <vector>

#include "commands/voice_command.h"
#include "controls/table_list_style.h"

namespace orvello {

// A selected row index, or this when nothing is selected.
inline constexpr int kNoCommandSelected = -1;

// State, phrase and action type, from the list's client width in pixels.
[[nodiscard]] std::vector<TableColumn> CommandsTableColumns(int clientWidthPx);

struct CommandsTableRow {
    std::u16string state;  // "ON" or "OFF"
    std::u16string phrase;
    std::u16string type;  // the list text of the action type
    bool dimmed = false;  // disabled commands are drawn grey

    friend bool operator==(const CommandsTableRow&, const CommandsTableRow&) = default;
};

[[nodiscard]] CommandsTableRow CommandsTableRowOf(const VoiceCommand& command);

// `selection` when it names a row of a table with `count` rows, else kNoCommandSelected.
[[nodiscard]] int ValidCommandSelection(int selection, int count);

struct CommandsButtonStates {
    bool newCommand = false;
    bool edit = false;
    bool remove = false;
    bool moveUp = false;
    bool moveDown = false;

    friend bool operator==(const CommandsButtonStates&, const CommandsButtonStates&) = default;
};

// Every list button is off while a trigger capture runs.
[[nodiscard]] CommandsButtonStates CommandsButtonStatesFor(bool capturing, int selection,
                                                           int count);

// Each edit returns the row to select afterwards; an invalid selection changes nothing and
// returns the selection unchanged.
//   Delete: the row that moved into the deleted one's place, or the new last row, or none.
[[nodiscard]] int DeleteCommandAt(std::vector<VoiceCommand>& commands, int selection);
//   Move up / down: the moved command at its new position. The first row does not move up, the
//   last does not move down.
[[nodiscard]] int MoveCommandUp(std::vector<VoiceCommand>& commands, int selection);
[[nodiscard]] int MoveCommandDown(std::vector<VoiceCommand>& commands, int selection);

}  // namespace orvello
