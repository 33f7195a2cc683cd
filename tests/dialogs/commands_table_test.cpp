// The commands dialog's table and list rules without a window: columns, row texts, which
// buttons are on, and the row selected after deleting and moving commands.
#include "dialogs/commands_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvello {
namespace {

VoiceCommand Command(std::u16string phrase, ActionType type = ActionType::KeyChord,
                     bool enabled = true) {
    VoiceCommand command;
    command.phrase = std::move(phrase);
    command.type = type;
    command.enabled = enabled;
    return command;
}

std::vector<std::u16string> PhrasesOf(const std::vector<VoiceCommand>& commands) {
    std::vector<std::u16string> phrases;
    for (const VoiceCommand& command : commands) phrases.push_back(command.phrase);
    return phrases;
}

std::vector<VoiceCommand> ThreeCommands() {
    return {Command(u"copy"), Command(u"paste"), Command(u"undo")};
}

TEST(CommandsTableColumns, StateAndTypeAreFixedAndThePhraseTakesTheRest) {
    EXPECT_EQ(CommandsTableColumns(400),
              (std::vector<TableColumn>{
                  {45, kTableAlignCentre}, {260, kTableAlignLeft}, {95, kTableAlignLeft}}));
    EXPECT_EQ(CommandsTableColumns(322)[1].widthPx, 182);
}

TEST(CommandsTableRow, ShowsStatePhraseAsStoredAndTheTypeName) {
    EXPECT_EQ(CommandsTableRowOf(Command(u"copy that|copy", ActionType::KeyChord)),
              (CommandsTableRow{u"ON", u"copy that|copy", u"KeyChord", false}));
    EXPECT_EQ(CommandsTableRowOf(Command(u"  Open Browser. ", ActionType::RunApp, false)),
              (CommandsTableRow{u"OFF", u"  Open Browser. ", u"RunApp", true}))
        << "a disabled command is OFF and dimmed; the phrase is not normalised";

    const std::vector<std::pair<ActionType, std::u16string>> types = {
        {ActionType::KeyChord, u"KeyChord"},
        {ActionType::KeySequence, u"KeySequence"},
        {ActionType::RunApp, u"RunApp"},
        {ActionType::InsertText, u"InsertText"},
        {ActionType::SysCommand, u"SysCommand"},
        {ActionType(7), u"?"},
        {ActionType(-1), u"?"},
    };
    for (const auto& [type, text] : types) {
        EXPECT_EQ(CommandsTableRowOf(Command(u"x", type)).type, text) << int(type);
    }
}

TEST(CommandsButtonStates, FollowTheSelectionAndAreAllOffDuringACapture) {
    struct Case {
        bool capturing;
        int selection, count;
        CommandsButtonStates expected;  // new, edit, delete, up, down
    };
    const std::vector<Case> cases = {
        {false, -1, 3, {true, false, false, false, false}},
        {false, -1, 0, {true, false, false, false, false}},
        {false, 0, 3, {true, true, true, false, true}},
        {false, 1, 3, {true, true, true, true, true}},
        {false, 2, 3, {true, true, true, true, false}},
        {false, 0, 1, {true, true, true, false, false}},
        {false, 3, 3, {true, false, false, false, false}},  // past the end: nothing selected
        {true, 1, 3, {false, false, false, false, false}},
        {true, -1, 0, {false, false, false, false, false}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommandsButtonStatesFor(c.capturing, c.selection, c.count), c.expected)
            << "capturing " << c.capturing << ", selection " << c.selection << " of " << c.count;
    }
}

TEST(CommandsSelection, OnlyARowOfTheTableIsASelection) {
    EXPECT_EQ(ValidCommandSelection(0, 2), 0);
    EXPECT_EQ(ValidCommandSelection(1, 2), 1);
    EXPECT_EQ(ValidCommandSelection(2, 2), kNoCommandSelected);
    EXPECT_EQ(ValidCommandSelection(-5, 2), kNoCommandSelected);
    EXPECT_EQ(ValidCommandSelection(0, 0), kNoCommandSelected);
}

TEST(DeleteCommand, SelectsTheRowThatMovedUpOrTheNewLastRowOrNothing) {
    std::vector<VoiceCommand> commands = ThreeCommands();
    EXPECT_EQ(DeleteCommandAt(commands, 1), 1);
    EXPECT_EQ(PhrasesOf(commands), (std::vector<std::u16string>{u"copy", u"undo"}));

    EXPECT_EQ(DeleteCommandAt(commands, 1), 0) << "the last row: the new last row";
    EXPECT_EQ(PhrasesOf(commands), (std::vector<std::u16string>{u"copy"}));

    EXPECT_EQ(DeleteCommandAt(commands, 0), kNoCommandSelected) << "the only row";
    EXPECT_TRUE(commands.empty());
}

TEST(DeleteCommand, WithoutAValidSelectionChangesNothing) {
    std::vector<VoiceCommand> commands = ThreeCommands();
    EXPECT_EQ(DeleteCommandAt(commands, kNoCommandSelected), kNoCommandSelected);
    EXPECT_EQ(DeleteCommandAt(commands, 3), 3);
    EXPECT_EQ(commands, ThreeCommands());
}

TEST(MoveCommand, SwapsWithTheNeighbourAndFollowsTheMovedCommand) {
    std::vector<VoiceCommand> commands = ThreeCommands();
    commands[2].enabled = false;  // the whole record moves, not only the phrase
    EXPECT_EQ(MoveCommandUp(commands, 2), 1);
    EXPECT_EQ(PhrasesOf(commands), (std::vector<std::u16string>{u"copy", u"undo", u"paste"}));
    EXPECT_FALSE(commands[1].enabled);

    EXPECT_EQ(MoveCommandDown(commands, 0), 1);
    EXPECT_EQ(PhrasesOf(commands), (std::vector<std::u16string>{u"undo", u"copy", u"paste"}));
    EXPECT_FALSE(commands[0].enabled);
}

TEST(MoveCommand, TheFirstRowStaysFirstAndTheLastStaysLast) {
    std::vector<VoiceCommand> commands = ThreeCommands();
    EXPECT_EQ(MoveCommandUp(commands, 0), 0);
    EXPECT_EQ(MoveCommandDown(commands, 2), 2);
    EXPECT_EQ(MoveCommandUp(commands, kNoCommandSelected), kNoCommandSelected);
    EXPECT_EQ(MoveCommandDown(commands, kNoCommandSelected), kNoCommandSelected);
    EXPECT_EQ(MoveCommandUp(commands, 3), 3);
    EXPECT_EQ(commands, ThreeCommands());
}

}  // namespace
}  // namespace orvello
