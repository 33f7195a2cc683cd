#include "dialogs/commands_table.h"

#include <utility>

namespace orvello {
namespace {

constexpr int kStateColumnWidthPx = 45;
constexpr int kTypeColumnWidthPx = 95;

bool IsValidRow(int selection, int count) {
    return selection >= 0 && selection < count;
}

int CountOf(const std::vector<VoiceCommand>& commands) {
    return static_cast<int>(commands.size());
}

}  // namespace

std::vector<TableColumn> CommandsTableColumns(int clientWidthPx) {
    return {
        {kStateColumnWidthPx, kTableAlignCentre},
        // The phrase takes the width that the state and type columns leave.
        {clientWidthPx - kStateColumnWidthPx - kTypeColumnWidthPx, kTableAlignLeft},
        {kTypeColumnWidthPx, kTableAlignLeft},
    };
}

CommandsTableRow CommandsTableRowOf(const VoiceCommand& command) {
    return {
        .state = command.enabled ? u"ON" : u"OFF",
        .phrase = command.phrase,
        .type = std::u16string(ActionTypeListText(command.type)),
        .dimmed = !command.enabled,
    };
}

int ValidCommandSelection(int selection, int count) {
    return IsValidRow(selection, count) ? selection : kNoCommandSelected;
}

CommandsButtonStates CommandsButtonStatesFor(bool capturing, int selection, int count) {
    if (capturing) return {};
    const bool selected = IsValidRow(selection, count);
    return {
        .newCommand = true,
        .edit = selected,
        .remove = selected,
        .moveUp = selected && selection > 0,
        .moveDown = selected && selection < count - 1,
    };
}

int DeleteCommandAt(std::vector<VoiceCommand>& commands, int selection) {
    if (!IsValidRow(selection, CountOf(commands))) return selection;
    commands.erase(commands.begin() + selection);
    const int count = CountOf(commands);
    return selection < count ? selection : count - 1;  // -1 once the list is empty
}

int MoveCommandUp(std::vector<VoiceCommand>& commands, int selection) {
    if (!IsValidRow(selection, CountOf(commands)) || selection == 0) return selection;
    std::swap(commands[selection], commands[selection - 1]);
    return selection - 1;
}

int MoveCommandDown(std::vector<VoiceCommand>& commands, int selection) {
    if (!IsValidRow(selection, CountOf(commands)) || selection == CountOf(commands) - 1) {
        return selection;
    }
    std::swap(commands[selection], commands[selection + 1]);
    return selection + 1;
}

}  // namespace orvello
