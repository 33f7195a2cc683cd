// The status overlay under Wine: its window, placement on the primary monitor, what it shows
// for each state and level (read back from the screen), and that it never takes the focus.
#include "controls/overlay_window_win.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "controls/overlay_geometry.h"
#include "tests/controls/overlay_test_window.h"
#include "tests/support/window_capture.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

using test::Image;

uint32_t Pixel(RgbColour colour) {
    return (uint32_t(colour.red) << 16) | (uint32_t(colour.green) << 8) | colour.blue;
}

RgbColour ColourOf(uint32_t pixel) {
    return RgbColour{uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)};
}

PixelRect PrimaryMonitorRect() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

PixelRect ClientOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.left, client.top, client.right, client.bottom};
}

int CountPixels(const Image& image, RgbColour colour, const PixelRect& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) count += image.At(x, y) == Pixel(colour);
    }
    return count;
}

// Pixels of the text: much lighter than the panel.
int CountLightPixels(const Image& image, const PixelRect& area) {
    int count = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) count += ColourOf(image.At(x, y)).red > 150;
    }
    return count;
}

// One overlay and one focused application window for the whole suite: under Wine without a
// window manager every hiding of a top-level window waits two seconds.
class OverlayWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        application_ = new test::FocusedTestWindow();
        overlay_ = new COverlayWindow();
        created_ = overlay_->Create();
    }
    static void TearDownTestSuite() {
        delete std::exchange(overlay_, nullptr);
        delete std::exchange(application_, nullptr);
    }

    void SetUp() override {
        ASSERT_TRUE(created_);
        ASSERT_TRUE(application_->TakeFocus());
    }

    [[nodiscard]] static HWND Overlay() { return overlay_->Hwnd(); }

    // The overlay as the screen shows it now.
    [[nodiscard]] static Image CaptureOverlay(const std::string& name) {
        test::PumpMessages(100);
        const Image image = test::CaptureScreenArea(WindowRectOf(Overlay()));
        test::SaveCapture(image, name);
        return image;
    }

    static void ExpectFocusUnchanged() {
        EXPECT_EQ(GetForegroundWindow(), application_->Hwnd());
        EXPECT_EQ(GetFocus(), application_->Edit());
        EXPECT_NE(GetForegroundWindow(), Overlay());
    }

    static inline test::FocusedTestWindow* application_ = nullptr;
    static inline COverlayWindow* overlay_ = nullptr;
    static inline bool created_ = false;
};

// A bar shows exactly its rectangle's column at its centre: its colour from top to bottom,
// the panel just above and below.
void ExpectBar(const Image& image, const OverlayBar& bar, int index) {
    const int x = (bar.rect.left + bar.rect.right) / 2;
    SCOPED_TRACE("bar " + std::to_string(index));
    EXPECT_EQ(ColourOf(image.At(x, bar.rect.top)), bar.colour);
    EXPECT_EQ(ColourOf(image.At(x, bar.rect.bottom - 1)), bar.colour);
    EXPECT_EQ(ColourOf(image.At(x, bar.rect.top - 1)), kOverlayPanelColour);
    EXPECT_EQ(ColourOf(image.At(x, bar.rect.bottom)), kOverlayPanelColour);
}

TEST_F(OverlayWindowTest, CreatesAHiddenLayeredTopmostToolWindowOfItsOwnClass) {
    COverlayWindow fresh;
    ASSERT_TRUE(fresh.Create());
    HWND window = fresh.Hwnd();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(fresh.Create());
    EXPECT_EQ(fresh.Hwnd(), window);
    EXPECT_EQ(fresh.State(), OverlayState::Hidden);

    wchar_t text[64] = {};
    GetClassNameW(window, text, 64);
    EXPECT_STREQ(text, L"OrvelloOverlayWindow");
    GetWindowTextW(window, text, 64);
    EXPECT_STREQ(text, L"OrvelloOverlay");
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_NE(style & WS_POPUP, 0);
    EXPECT_EQ(style & (WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), 0);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    for (LONG_PTR flag : {LONG_PTR{WS_EX_TOPMOST}, LONG_PTR{WS_EX_TOOLWINDOW},
                          LONG_PTR{WS_EX_LAYERED}, LONG_PTR{WS_EX_NOACTIVATE}}) {
        EXPECT_EQ(exStyle & flag, flag) << std::hex << flag;
    }
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(window, nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 235);
    EXPECT_EQ(flags, DWORD(LWA_ALPHA));

    WNDCLASSW windowClass{};
    ASSERT_TRUE(GetClassInfoW(GetModuleHandleW(nullptr), L"OrvelloOverlayWindow", &windowClass));
    EXPECT_EQ(windowClass.style, UINT(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(windowClass.hbrBackground, nullptr);
}

TEST_F(OverlayWindowTest, RegionRoundsTheCornersOfTheClientArea) {
    ui::UniqueRegion region(CreateRectRgn(0, 0, 0, 0));
    ASSERT_EQ(GetWindowRgn(Overlay(), region.Get()), COMPLEXREGION);
    RECT box{};
    GetRgnBox(region.Get(), &box);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_GE(box.right, 220);
    EXPECT_GE(box.bottom, 72);
    EXPECT_FALSE(PtInRegion(region.Get(), 0, 0));
    EXPECT_FALSE(PtInRegion(region.Get(), 219, 71));
    EXPECT_TRUE(PtInRegion(region.Get(), 0, 36));
    EXPECT_TRUE(PtInRegion(region.Get(), 110, 0));
    EXPECT_TRUE(PtInRegion(region.Get(), 219, 36));
}

TEST_F(OverlayWindowTest, StartingSitsBottomCentreOnThePrimaryMonitorWithoutBars) {
    overlay_->ShowStarting();
    ExpectFocusUnchanged();
    EXPECT_EQ(overlay_->State(), OverlayState::Starting);
    EXPECT_TRUE(IsWindowVisible(Overlay()));
    const RECT placed = WindowRectOf(Overlay());
    EXPECT_EQ((PixelRect{placed.left, placed.top, placed.right, placed.bottom}),
              OverlayWindowRect(PrimaryMonitorRect(), overlay_->Dpi()));
    EXPECT_EQ(GetWindowLongPtrW(Overlay(), GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);

    const Image image = CaptureOverlay("overlay-starting");
    const PixelRect client = ClientOf(Overlay());
    const int dpi = overlay_->Dpi();
    EXPECT_GT(CountLightPixels(image, OverlayTextBand(client, dpi)), 40);
    const PixelRect barArea{ScaleForDpi(16, dpi), ScaleForDpi(36, dpi),
                            client.right - ScaleForDpi(16, dpi),
                            client.bottom - ScaleForDpi(14, dpi)};
    EXPECT_EQ(CountPixels(image, kOverlayPanelColour, barArea), barArea.Width() * barArea.Height());
    EXPECT_EQ(ColourOf(image.At(0, client.Height() / 2)), kOverlayBorderColour);
    EXPECT_EQ(ColourOf(image.At(client.right - 1, client.Height() / 2)), kOverlayBorderColour);
    EXPECT_EQ(ColourOf(image.At(client.Width() / 2, 0)), kOverlayBorderColour);
}

TEST_F(OverlayWindowTest, ListeningStartsWithTwentyFourRestingBars) {
    overlay_->ShowListening();
    ExpectFocusUnchanged();
    EXPECT_EQ(overlay_->LevelHistory(), std::deque<float>(24, 0.0f));
    const Image image = CaptureOverlay("overlay-listening-rest");
    const PixelRect client = ClientOf(Overlay());
    const auto bars = OverlayBars(client, overlay_->Dpi(), overlay_->LevelHistory());
    for (int i = 0; i < kOverlayBarCount; ++i) {
        EXPECT_EQ(bars[i].colour, kOverlayRestingBarColour);
        ExpectBar(image, bars[i], i);
    }
    EXPECT_GT(CountLightPixels(image, OverlayTextBand(client, overlay_->Dpi())), 40);
}

TEST_F(OverlayWindowTest, LevelsDrawBarsOfTheirShapedHeightAndColour) {
    overlay_->ShowListening();
    for (WPARAM raw : {WPARAM(1000), WPARAM(500), WPARAM(0), WPARAM(2500), WPARAM(500)}) {
        overlay_->PushLevel(raw);
    }
    ExpectFocusUnchanged();
    const Image image = CaptureOverlay("overlay-listening-levels");
    const auto bars = OverlayBars(ClientOf(Overlay()), overlay_->Dpi(), overlay_->LevelHistory());
    for (int i = 0; i < kOverlayBarCount; ++i) ExpectBar(image, bars[i], i);
    // Newest on the right: 1.0, 0.5, 0, 1.0 (clamped), 0.5.
    EXPECT_EQ(bars[19].colour, (RgbColour{56, 189, 248}));
    EXPECT_EQ(bars[20].colour, (RgbColour{52, 190, 221}));
    EXPECT_EQ(bars[21].colour, kOverlayRestingBarColour);
    EXPECT_EQ(bars[22].rect.top, bars[19].rect.top);  // 2.5 is clamped to full height
    EXPECT_EQ(bars[23].rect.Height(), bars[20].rect.Height());
    if (overlay_->Dpi() == 96) {
        EXPECT_EQ(bars[19].rect, (PixelRect{168, 36, 172, 58}));
        EXPECT_EQ(bars[20].rect, (PixelRect{176, 43, 180, 58}));
        EXPECT_EQ(bars[21].rect, (PixelRect{184, 54, 188, 58}));
    }
}

// A hint wider than the text band is set smaller rather than cut off: two hints that differ only
// in their last letters look different.
TEST_F(OverlayWindowTest, AHandsFreeHintIsShownWholeOverTheGoingGraph) {
    overlay_->ShowListening();
    overlay_->PushLevel(1000);
    const std::u16string hint = u"Hands-free \u2014 tap Left Ctrl + Left Shift to stop";
    overlay_->ShowHandsFree(hint);
    ExpectFocusUnchanged();
    EXPECT_EQ(overlay_->LevelHistory().back(), 1.0f);
    const Image stop = CaptureOverlay("overlay-hands-free");
    overlay_->ShowHandsFree(hint.substr(0, hint.size() - 2) + u"ar");
    const Image star = CaptureOverlay("overlay-hands-free-other-ending");

    const PixelRect client = ClientOf(Overlay());
    const PixelRect band = OverlayTextBand(client, overlay_->Dpi());
    EXPECT_GT(CountLightPixels(stop, band), 40);
    const auto bars = OverlayBars(client, overlay_->Dpi(), overlay_->LevelHistory());
    ExpectBar(stop, bars[kOverlayBarCount - 1], kOverlayBarCount - 1);
    EXPECT_NE(stop.pixels, star.pixels);
}

TEST_F(OverlayWindowTest, NeverBecomesForegroundOrTakesTheFocus) {
    HWND foreground = GetForegroundWindow();
    ASSERT_EQ(foreground, application_->Hwnd());
    for (int round = 0; round < 3; ++round) {
        overlay_->ShowStarting();
        test::PumpMessages(50);
        overlay_->ShowListening();
        for (WPARAM raw = 0; raw <= 1000; raw += 100) overlay_->PushLevel(raw);
        test::PumpMessages(50);
        overlay_->Reposition();
        test::PumpMessages(50);
        ExpectFocusUnchanged();
        EXPECT_EQ(GetActiveWindow(), application_->Hwnd());
    }
}

TEST_F(OverlayWindowTest, LevelsAreIgnoredWhileStartingOrHidden) {
    overlay_->ShowStarting();
    const Image before = CaptureOverlay("overlay-starting-before-levels");
    overlay_->PushLevel(1000);
    overlay_->PushLevel(500);
    EXPECT_TRUE(overlay_->LevelHistory().empty());
    EXPECT_EQ(overlay_->State(), OverlayState::Starting);
    const Image after = CaptureOverlay("overlay-starting-after-levels");
    EXPECT_EQ(before.pixels, after.pixels);

    overlay_->Hide();
    test::PumpMessages(50);
    EXPECT_FALSE(IsWindowVisible(Overlay()));
    EXPECT_EQ(overlay_->State(), OverlayState::Hidden);
    overlay_->PushLevel(1000);
    EXPECT_TRUE(overlay_->LevelHistory().empty());
    EXPECT_EQ(overlay_->State(), OverlayState::Hidden);
    EXPECT_FALSE(IsWindowVisible(Overlay()));
}

TEST_F(OverlayWindowTest, HidingClearsTheHistoryOfAListeningOverlay) {
    overlay_->ShowListening();
    overlay_->PushLevel(800);
    ASSERT_EQ(overlay_->LevelHistory().size(), 24u);
    overlay_->Hide();
    EXPECT_FALSE(IsWindowVisible(Overlay()));
    EXPECT_TRUE(overlay_->LevelHistory().empty());
    ExpectFocusUnchanged();
}

TEST(OverlayWithoutWindowTest, OperationsBeforeCreateChangeOnlyTheState) {
    COverlayWindow overlay;
    overlay.Reposition();
    overlay.ShowListening();
    overlay.PushLevel(1000);
    EXPECT_EQ(overlay.State(), OverlayState::Listening);
    EXPECT_EQ(overlay.LevelHistory().back(), 1.0f);
    overlay.Hide();
    EXPECT_EQ(overlay.Hwnd(), nullptr);
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);
}

}  // namespace
}  // namespace orvello
