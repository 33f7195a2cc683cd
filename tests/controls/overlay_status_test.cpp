#include "controls/overlay_status.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

TEST(OverlayLevelShapingTest, LevelIsClampedThenRaisedToPointSix) {
    EXPECT_FLOAT_EQ(ShapeOverlayLevel(0), 0.0f);
    EXPECT_FLOAT_EQ(ShapeOverlayLevel(1000), 1.0f);
    EXPECT_FLOAT_EQ(ShapeOverlayLevel(25000), 1.0f);
    EXPECT_NEAR(ShapeOverlayLevel(500), 0.659754f, 1e-6f);
    EXPECT_NEAR(ShapeOverlayLevel(100), 0.251189f, 1e-6f);
}

TEST(OverlayStatusTest, StartsHiddenAndIgnoresLevelsUntilListening) {
    OverlayStatus status;
    EXPECT_EQ(status.State(), OverlayState::Hidden);
    EXPECT_FALSE(status.PushLevel(800));
    EXPECT_TRUE(status.LevelHistory().empty());

    status.ShowStarting();
    EXPECT_EQ(status.State(), OverlayState::Starting);
    EXPECT_FALSE(status.PushLevel(800));
    EXPECT_TRUE(status.LevelHistory().empty());
}

TEST(OverlayStatusTest, ListeningStartsWithTwentyFourRestingValues) {
    OverlayStatus status;
    status.ShowListening();
    EXPECT_EQ(status.State(), OverlayState::Listening);
    EXPECT_EQ(status.LevelHistory(), std::deque<float>(24, 0.0f));
}

TEST(OverlayStatusTest, NewLevelsEnterOnTheRightAndTheOldestLeaves) {
    OverlayStatus status;
    status.ShowListening();
    for (std::uint64_t raw = 1; raw <= 30; ++raw) ASSERT_TRUE(status.PushLevel(raw * 10));
    const std::deque<float>& history = status.LevelHistory();
    ASSERT_EQ(history.size(), 24u);
    EXPECT_FLOAT_EQ(history.front(), ShapeOverlayLevel(70));
    EXPECT_FLOAT_EQ(history.back(), ShapeOverlayLevel(300));
}

TEST(OverlayStatusTest, HidingOrStartingClearsTheHistory) {
    OverlayStatus status;
    status.ShowListening();
    ASSERT_TRUE(status.PushLevel(1000));
    status.Hide();
    EXPECT_EQ(status.State(), OverlayState::Hidden);
    EXPECT_TRUE(status.LevelHistory().empty());
    EXPECT_FALSE(status.PushLevel(1000));

    status.ShowListening();
    status.ShowStarting();
    EXPECT_TRUE(status.LevelHistory().empty());
}

TEST(OverlayStatusTest, HandsFreeKeepsTheGraphUnderItsTextUntilTheNextShowOrHide) {
    OverlayStatus status;
    status.ShowListening();
    ASSERT_TRUE(status.PushLevel(1000));
    status.ShowHandsFree(u"Hands-free");
    EXPECT_EQ(status.Text(), u"Hands-free");
    EXPECT_EQ(status.State(), OverlayState::Listening);
    EXPECT_EQ(status.LevelHistory().back(), 1.0f);
    EXPECT_TRUE(status.PushLevel(0));

    status.ShowListening();
    EXPECT_EQ(status.Text(), u"Listening");
    status.ShowHandsFree(u"Hands-free");
    status.Hide();
    EXPECT_EQ(status.Text(), u"Listening");

    // Shown hands-free without listening first, it starts a resting graph.
    status.ShowHandsFree(u"Hands-free");
    EXPECT_EQ(status.State(), OverlayState::Listening);
    EXPECT_EQ(status.LevelHistory(), std::deque<float>(24, 0.0f));
}

TEST(OverlayStatusTest, TheTextSoFarShowsOnlyWhileListeningAndGoesWithTheNextShowOrHide) {
    OverlayStatus status;
    EXPECT_FALSE(status.ShowLiveText(u"too early"));
    status.ShowListening();
    EXPECT_TRUE(status.ShowLiveText(u"send the"));
    EXPECT_FALSE(status.ShowLiveText(u"send the"));
    status.ShowHandsFree(u"Hands-free");
    EXPECT_EQ(status.LiveText(), u"send the");
    status.ShowListening();
    EXPECT_EQ(status.LiveText(), u"");
    EXPECT_TRUE(status.ShowLiveText(u"report"));
    status.Hide();
    EXPECT_EQ(status.LiveText(), u"");
}

TEST(OverlayStatusTest, TextAndBarsFollowTheState) {
    EXPECT_EQ(OverlayTextFor(OverlayState::Starting), u"Orvello Starting");
    EXPECT_EQ(OverlayTextFor(OverlayState::Listening), u"Listening");
    EXPECT_EQ(OverlayTextFor(OverlayState::Hidden), u"Listening");
    EXPECT_EQ(OverlayTextFor(static_cast<OverlayState>(7)), u"Listening");

    const std::deque<float> resting(24, 0.0f);
    EXPECT_FALSE(OverlayDrawsBars(OverlayState::Starting, resting));
    EXPECT_TRUE(OverlayDrawsBars(OverlayState::Listening, resting));
    EXPECT_TRUE(OverlayDrawsBars(OverlayState::Hidden, {0.5f}));
    EXPECT_FALSE(OverlayDrawsBars(OverlayState::Listening, {}));
}

}  // namespace
}  // namespace orvello
