// The key map's geometry and key states: where each of the six boxes goes at
// 96 and 144 DPI, and which colour a key shows for given trigger and held keys.
#include "controls/key_map_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace orvello {
namespace {

using enum ModifierKey;

TEST(KeyMapLayout, At96DpiTitlesTakeATwelvePixelBandAndTheRowsShareTheRest) {
    const KeyMapLayout layout = LayOutKeyMap({0, 0, 300, 60}, 96);

    EXPECT_EQ(layout.dividerX, 150);
    EXPECT_EQ(layout.dividerTop, 4);
    EXPECT_EQ(layout.dividerBottom, 56);
    EXPECT_EQ(layout.cornerEllipsePx, 5);

    const KeyMapHalf& left = layout.halves[0];
    EXPECT_EQ(left.title, u"LEFT");
    EXPECT_EQ(left.area, (PixelRect{0, 0, 149, 60}));
    EXPECT_EQ(left.titleRect, (PixelRect{4, 2, 145, 14}));
    EXPECT_EQ(left.boxes[0].rect, (PixelRect{4, 16, 145, 34}));  // 3 px above row 2
    EXPECT_EQ(left.boxes[1].rect, (PixelRect{4, 37, 73, 55}));   // pad 4 + the odd pixel below
    EXPECT_EQ(left.boxes[2].rect, (PixelRect{76, 37, 145, 55}));

    const KeyMapHalf& right = layout.halves[1];
    EXPECT_EQ(right.title, u"RIGHT");
    EXPECT_EQ(right.area, (PixelRect{151, 0, 300, 60}));
    EXPECT_EQ(right.boxes[0].rect, (PixelRect{155, 16, 296, 34}));
    EXPECT_EQ(right.boxes[1].rect, (PixelRect{155, 37, 224, 55}));
    EXPECT_EQ(right.boxes[2].rect, (PixelRect{227, 37, 296, 55}));
}

TEST(KeyMapLayout, CtrlSitsAtBothOuterEdgesAndAltNextToTheCentre) {
    const KeyMapLayout layout = LayOutKeyMap({0, 0, 300, 60}, 96);
    const auto& left = layout.halves[0].boxes;
    const auto& right = layout.halves[1].boxes;
    EXPECT_EQ(left[0].key, LeftShift);
    EXPECT_EQ(left[0].label, u"Shift");
    EXPECT_EQ(left[1].key, LeftCtrl);
    EXPECT_EQ(left[1].label, u"Ctrl");
    EXPECT_EQ(left[2].key, LeftAlt);
    EXPECT_EQ(left[2].label, u"Alt");
    EXPECT_EQ(right[0].key, RightShift);
    EXPECT_EQ(right[0].label, u"Shift");
    EXPECT_EQ(right[1].key, RightAlt);
    EXPECT_EQ(right[1].label, u"Alt");
    EXPECT_EQ(right[2].key, RightCtrl);
    EXPECT_EQ(right[2].label, u"Ctrl");
}

TEST(KeyMapLayout, At144DpiPadsGapsTitleBandAndCornersScaleByOneAndAHalfRounded) {
    const KeyMapLayout layout = LayOutKeyMap({0, 0, 450, 90}, 144);

    EXPECT_EQ(layout.cornerEllipsePx, 8);  // 7.5 rounded
    EXPECT_EQ(layout.dividerTop, 6);
    EXPECT_EQ(layout.dividerBottom, 84);
    const KeyMapHalf& left = layout.halves[0];
    EXPECT_EQ(left.titleRect, (PixelRect{6, 3, 218, 21}));         // pad 6, band 18
    EXPECT_EQ(left.boxes[0].rect, (PixelRect{6, 24, 218, 51}));    // band + 3 below it
    EXPECT_EQ(left.boxes[1].rect, (PixelRect{6, 56, 109, 83}));    // row gap 5, bottom pad 7
    EXPECT_EQ(left.boxes[2].rect, (PixelRect{114, 56, 217, 83}));  // column gap 5
}

TEST(KeyMapLayout, TheItemRectanglesOffsetMovesEverything) {
    const KeyMapLayout origin = LayOutKeyMap({0, 0, 301, 60}, 96);
    const KeyMapLayout moved = LayOutKeyMap({10, 20, 311, 80}, 96);
    EXPECT_EQ(origin.dividerX, 150);  // odd width: the centre halves toward zero
    EXPECT_EQ(moved.dividerX, 160);
    const PixelRect& a = origin.halves[1].boxes[2].rect;
    const PixelRect& b = moved.halves[1].boxes[2].rect;
    EXPECT_EQ((PixelRect{a.left + 10, a.top + 20, a.right + 10, a.bottom + 20}), b);
}

TEST(KeyMapStates, WithBothListsEmptyEveryKeyIsIdle) {
    for (ModifierKey key : {LeftShift, RightShift, LeftCtrl, RightCtrl, LeftAlt, RightAlt})
        EXPECT_EQ(KeyMapStateOf(key, {}, {}), KeyMapKeyState::Idle);
}

TEST(KeyMapStates, ARightCtrlTriggerMarksOnlyThatKeyAndHoldingItTurnsItRed) {
    const std::vector<ModifierKey> trigger{RightCtrl};
    const std::vector<ModifierKey> held{RightCtrl};
    for (ModifierKey key : {LeftShift, RightShift, LeftCtrl, LeftAlt, RightAlt})
        EXPECT_EQ(KeyMapStateOf(key, trigger, {}), KeyMapKeyState::Idle);
    EXPECT_EQ(KeyMapStateOf(RightCtrl, trigger, {}), KeyMapKeyState::Trigger);
    EXPECT_EQ(KeyMapStateOf(RightCtrl, trigger, held), KeyMapKeyState::Pressed);
    EXPECT_EQ(KeyMapStateOf(RightCtrl, trigger, {}), KeyMapKeyState::Trigger);
}

TEST(KeyMapStates, AHeldKeyOutsideTheTriggerIsRedAndDuplicatesDoNotMatter) {
    const std::vector<ModifierKey> trigger{LeftShift, RightAlt};
    const std::vector<ModifierKey> held{LeftAlt, LeftAlt};
    EXPECT_EQ(KeyMapStateOf(LeftAlt, trigger, held), KeyMapKeyState::Pressed);
    EXPECT_EQ(KeyMapStateOf(LeftShift, trigger, held), KeyMapKeyState::Trigger);
    EXPECT_EQ(KeyMapStateOf(RightAlt, trigger, held), KeyMapKeyState::Trigger);
}

TEST(KeyMapStates, GenericAndUnknownValuesMarkNothing) {
    const std::vector<ModifierKey> odd{Generic, Unknown, ModifierKey(42)};
    const KeyMapLayout layout = LayOutKeyMap({0, 0, 300, 60}, 96);
    for (const KeyMapHalf& half : layout.halves)
        for (const KeyMapBox& box : half.boxes)
            EXPECT_EQ(KeyMapStateOf(box.key, odd, odd), KeyMapKeyState::Idle);
}

TEST(KeyMapColours, EachStateHasItsFillBorderAndLabel) {
    const KeyMapKeyColours pressed = KeyMapColoursFor(KeyMapKeyState::Pressed);
    const KeyMapKeyColours trigger = KeyMapColoursFor(KeyMapKeyState::Trigger);
    const KeyMapKeyColours idle = KeyMapColoursFor(KeyMapKeyState::Idle);
    EXPECT_EQ(pressed.fill, (RgbColour{255, 210, 210}));
    EXPECT_EQ(pressed.border, (RgbColour{210, 100, 100}));
    EXPECT_EQ(pressed.label, (RgbColour{160, 30, 30}));
    EXPECT_EQ(trigger.fill, (RgbColour{190, 220, 255}));
    EXPECT_EQ(trigger.border, (RgbColour{90, 150, 220}));
    EXPECT_EQ(trigger.label, (RgbColour{20, 70, 160}));
    EXPECT_EQ(idle.fill, (RgbColour{255, 255, 255}));
    EXPECT_EQ(idle.border, (RgbColour{180, 180, 180}));
    EXPECT_EQ(idle.label, (RgbColour{0, 0, 0}));
}

}  // namespace
}  // namespace orvello
