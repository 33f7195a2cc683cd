// The key map on the virtual display: hosted in a dialog as the program's
// templates declare it, captured, and checked box by box at the positions the
// layout computes: idle, trigger and pressed colours, the background, divider
// and titles, and no repaint when a list is set again unchanged.
#include "controls/key_map_static.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls/key_map_layout.h"
#include "tests/controls/control_pixels.h"
#include "tests/controls/controls_test_resources.h"
#include "ui/dialog.h"
#include "ui/dpi.h"

namespace orvello {
namespace {

using enum ModifierKey;
using test::CaptureClient;
using test::ClientCapture;
using test::PixelOf;

class KeyMapHost : public ui::CDialogEx {
public:
    KeyMapHost() : CDialogEx(IDD_KEY_MAP_TEST) {}
    CKeyMapStatic mainMap;
    CKeyMapStatic commandsMap;
    int mainMapDraws = 0;

protected:
    void BindControls() override {
        ASSERT_TRUE(mainMap.SubclassDlgItem(IDC_KEY_MAP_MAIN, Hwnd()));
        ASSERT_TRUE(commandsMap.SubclassDlgItem(IDC_KEY_MAP_COMMANDS, Hwnd()));
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_DRAWITEM && wParam == IDC_KEY_MAP_MAIN) ++mainMapDraws;
        return CDialogEx::WindowProc(message, wParam, lParam);
    }
};

class KeyMapStaticTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        host_ = std::make_unique<KeyMapHost>();
        ASSERT_TRUE(host_->Create());
        test::ShowHost(host_->Hwnd());
    }
    static void TearDownTestSuite() { host_.reset(); }
    void SetUp() override {
        Map().SetTriggerKeys({});
        Map().SetPressedKeys({});
    }

    static CKeyMapStatic& Map() { return host_->mainMap; }

    // Lets pending paints happen and captures `map`.
    static ClientCapture Painted(CKeyMapStatic& map, const std::string& saveAs = "") {
        test::PumpMessages(60);
        if (!saveAs.empty()) {
            EXPECT_FALSE(test::SaveWindowCapture(host_->Hwnd(), saveAs).empty());
        }
        return CaptureClient(map.Hwnd());
    }

    static KeyMapLayout LayoutOf(CKeyMapStatic& map) {
        const RECT client = map.GetClientRect();
        return LayOutKeyMap({client.left, client.top, client.right, client.bottom},
                            ui::DpiForWindow(map.Hwnd()));
    }

    static std::unique_ptr<KeyMapHost> host_;
};
std::unique_ptr<KeyMapHost> KeyMapStaticTest::host_;

const KeyMapBox& BoxOf(const KeyMapLayout& layout, ModifierKey key) {
    for (const KeyMapHalf& half : layout.halves)
        for (const KeyMapBox& box : half.boxes)
            if (box.key == key) return box;
    ADD_FAILURE() << "no box for key " << int(key);
    return layout.halves[0].boxes[0];
}

// Fill beside the label, border on the left edge and the top edge, and label pixels.
void ExpectBoxIn(const ClientCapture& capture, const KeyMapBox& box, KeyMapKeyState state) {
    const KeyMapKeyColours colours = KeyMapColoursFor(state);
    const PixelRect& r = box.rect;
    const int midY = (r.top + r.bottom) / 2;
    const std::string where = "box of key " + std::to_string(int(box.key));
    EXPECT_EQ(capture.At(r.left + 3, midY), PixelOf(colours.fill)) << where;
    EXPECT_EQ(capture.At(r.left, midY), PixelOf(colours.border)) << where;
    EXPECT_EQ(capture.At((r.left + r.right) / 2, r.top), PixelOf(colours.border)) << where;
    EXPECT_GE(capture.Count(r, PixelOf(colours.label)), 8) << where << ": label missing";
}

void ExpectStates(const ClientCapture& capture, const KeyMapLayout& layout,
                  const std::vector<ModifierKey>& trigger, const std::vector<ModifierKey>& held) {
    for (ModifierKey key : {LeftShift, RightShift, LeftCtrl, RightCtrl, LeftAlt, RightAlt}) {
        const KeyMapKeyState expected =
            std::find(held.begin(), held.end(), key) != held.end() ? KeyMapKeyState::Pressed
            : std::find(trigger.begin(), trigger.end(), key) != trigger.end()
                ? KeyMapKeyState::Trigger
                : KeyMapKeyState::Idle;
        ExpectBoxIn(capture, BoxOf(layout, key), expected);
    }
}

TEST_F(KeyMapStaticTest, WithBothListsEmptyEveryBoxIsIdleOnTheGreyBackground) {
    const ClientCapture capture = Painted(Map(), "key_map_idle");
    const KeyMapLayout layout = LayoutOf(Map());
    ExpectStates(capture, layout, {}, {});

    EXPECT_EQ(capture.At(1, 1), PixelOf(kKeyMapBackgroundColour));
    const int midY = (layout.dividerTop + layout.dividerBottom) / 2;
    EXPECT_EQ(capture.At(layout.dividerX, midY), PixelOf(kKeyMapDividerColour));
    EXPECT_EQ(capture.At(layout.dividerX, layout.dividerTop - 1), PixelOf(kKeyMapBackgroundColour));
    for (const KeyMapHalf& half : layout.halves)
        EXPECT_GE(capture.Count(half.titleRect, PixelOf(kKeyMapTitleColour)), 8) << "title";
}

TEST_F(KeyMapStaticTest, ARightCtrlTriggerIsBlueTurnsRedWhileHeldAndBlueAgainWhenReleased) {
    const KeyMapLayout layout = LayoutOf(Map());
    const std::vector<ModifierKey> trigger{RightCtrl};
    Map().SetTriggerKeys(trigger);
    ExpectStates(Painted(Map(), "key_map_trigger_right_ctrl"), layout, trigger, {});

    Map().SetPressedKeys(trigger);
    ExpectStates(Painted(Map(), "key_map_pressed_right_ctrl"), layout, trigger, trigger);

    Map().SetPressedKeys({});
    ExpectStates(Painted(Map()), layout, trigger, {});
}

TEST_F(KeyMapStaticTest, LeftShiftPlusRightAltMarksTheWideLeftBoxAndTheRightHalfsInnerBox) {
    const std::vector<ModifierKey> trigger{LeftShift, RightAlt};
    Map().SetTriggerKeys(trigger);
    ExpectStates(Painted(Map(), "key_map_trigger_left_shift_right_alt"), LayoutOf(Map()), trigger,
                 {});
}

TEST_F(KeyMapStaticTest, AHeldKeyOutsideTheTriggerIsRedWhileHeld) {
    const std::vector<ModifierKey> trigger{RightCtrl};
    const std::vector<ModifierKey> held{LeftAlt, LeftCtrl, LeftAlt};
    Map().SetTriggerKeys(trigger);
    Map().SetPressedKeys(held);
    ExpectStates(Painted(Map()), LayoutOf(Map()), trigger, held);
}

TEST_F(KeyMapStaticTest, SettingTheSameListAgainDoesNotRepaint) {
    const std::vector<ModifierKey> trigger{LeftCtrl, LeftShift};
    Map().SetTriggerKeys(trigger);
    Map().SetPressedKeys(trigger);
    test::PumpMessages(60);
    const int drawsBefore = host_->mainMapDraws;

    Map().SetTriggerKeys(trigger);
    Map().SetPressedKeys(std::vector<ModifierKey>(trigger));
    EXPECT_FALSE(GetUpdateRect(Map().Hwnd(), nullptr, FALSE));
    test::PumpMessages(60);
    EXPECT_EQ(host_->mainMapDraws, drawsBefore);

    Map().SetTriggerKeys(std::vector<ModifierKey>{LeftShift, LeftCtrl});  // order counts
    EXPECT_TRUE(GetUpdateRect(Map().Hwnd(), nullptr, FALSE));
    test::PumpMessages(60);
    EXPECT_EQ(host_->mainMapDraws, drawsBefore + 1);
}

TEST_F(KeyMapStaticTest, TheCommandsDialogsNarrowerMapIsLaidOutTheSameWay) {
    CKeyMapStatic& narrow = host_->commandsMap;
    const std::vector<ModifierKey> trigger{LeftCtrl, RightShift};
    narrow.SetTriggerKeys(trigger);
    ExpectStates(Painted(narrow), LayoutOf(narrow), trigger, {});
    narrow.SetTriggerKeys({});
}

TEST(KeyMapStaticWithoutWindow, KeepsItsListsUntilItIsAttached) {
    CKeyMapStatic map;
    map.SetTriggerKeys(std::vector<ModifierKey>{RightAlt});
    map.SetPressedKeys(std::vector<ModifierKey>{Generic, RightAlt});
    EXPECT_EQ(map.TriggerKeys(), std::vector<ModifierKey>{RightAlt});
    EXPECT_EQ(map.PressedKeys(), (std::vector<ModifierKey>{Generic, RightAlt}));
}

}  // namespace
}  // namespace orvello
