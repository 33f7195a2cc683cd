// The Key Sequence panel's list: loading, Add, Remove, Move Up/Down, capture into the
// selected row, the button rules and the row texts.
#include "dialogs/key_sequence_list.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

KeyStep Key(std::uint16_t vk) {
    return KeyStep{false, false, false, false, vk};
}

KeySequenceList Loaded(std::vector<KeyStep> steps) {
    KeySequenceList list;
    list.Load(steps);
    return list;
}

TEST(KeySequenceList, AnEmptyCommandStartsWithOneEmptyStepThatCannotBeRemoved) {
    KeySequenceList list = Loaded({});
    EXPECT_EQ(list.Steps(), std::vector<KeyStep>{KeyStep{}});
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_FALSE(list.CanRemove());
    EXPECT_FALSE(list.Remove());
    EXPECT_FALSE(list.CanMoveUp());
    EXPECT_FALSE(list.CanMoveDown());
    EXPECT_TRUE(list.CanCapture());
    EXPECT_EQ(list.Count(), 1);
}

TEST(KeySequenceList, AddAppendsAnEmptyStepAndSelectsIt) {
    KeySequenceList list = Loaded({Key('A')});
    list.Add();
    list.Add();
    EXPECT_EQ(list.Steps(), (std::vector<KeyStep>{Key('A'), KeyStep{}, KeyStep{}}));
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_TRUE(list.CanRemove());
    EXPECT_TRUE(list.CanMoveUp());
    EXPECT_FALSE(list.CanMoveDown());
}

TEST(KeySequenceList, RemovingTheLastSelectsTheNewLastAndOtherwiseTheSameRow) {
    KeySequenceList list = Loaded({Key('A'), Key('B'), Key('C')});
    list.Select(2);
    EXPECT_TRUE(list.Remove());
    EXPECT_EQ(list.Steps(), (std::vector<KeyStep>{Key('A'), Key('B')}));
    EXPECT_EQ(list.Selection(), 1);

    list.Select(0);
    EXPECT_TRUE(list.Remove());
    EXPECT_EQ(list.Steps(), std::vector<KeyStep>{Key('B')});
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_FALSE(list.Remove());
}

TEST(KeySequenceList, MovingKeepsTheMovedStepSelectedAndStopsAtTheEnds) {
    KeySequenceList list = Loaded({Key('A'), Key('B'), Key('C')});
    EXPECT_FALSE(list.MoveUp());
    EXPECT_TRUE(list.MoveDown());
    EXPECT_EQ(list.Steps(), (std::vector<KeyStep>{Key('B'), Key('A'), Key('C')}));
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_TRUE(list.MoveDown());
    EXPECT_EQ(list.Selection(), 2);
    EXPECT_FALSE(list.MoveDown());
    EXPECT_TRUE(list.MoveUp());
    EXPECT_EQ(list.Steps(), (std::vector<KeyStep>{Key('B'), Key('A'), Key('C')}));
    EXPECT_EQ(list.Selection(), 1);
}

TEST(KeySequenceList, WithoutASelectionOnlyAddApplies) {
    KeySequenceList list = Loaded({Key('A'), Key('B')});
    list.Select(-1);
    EXPECT_FALSE(list.HasSelection());
    EXPECT_FALSE(list.CanRemove() || list.CanMoveUp() || list.CanMoveDown() || list.CanCapture());
    EXPECT_FALSE(list.Remove() || list.MoveUp() || list.MoveDown());
    EXPECT_FALSE(list.ReplaceSelected(Key('Z')));
    list.Select(7);
    EXPECT_FALSE(list.HasSelection());
    EXPECT_EQ(list.Steps(), (std::vector<KeyStep>{Key('A'), Key('B')}));
}

TEST(KeySequenceList, ACapturedChordReplacesTheSelectedStepOnly) {
    KeySequenceList list = Loaded({Key('A'), Key('B'), Key('C')});
    list.Select(1);
    const KeyStep save{true, false, true, false, 'S'};
    EXPECT_TRUE(list.ReplaceSelected(save));
    EXPECT_EQ(list.Steps(), (std::vector<KeyStep>{Key('A'), save, Key('C')}));
    EXPECT_EQ(list.Selection(), 1);
    EXPECT_EQ(list.Selected(), save);
}

TEST(StepRowText, NumbersRowsFromOne) {
    EXPECT_EQ(StepRowText(0, u"(none)"), u"1: (none)");
    EXPECT_EQ(StepRowText(11, u"Ctrl+Shift+S"), u"12: Ctrl+Shift+S");
}

}  // namespace
}  // namespace orvello
