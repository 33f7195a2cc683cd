// Trigger capture on real Raw Input: keys pressed on Wine's virtual keyboard (XTest through
// xdotool) reach the shared test window as WM_INPUT, are decoded by a reader over the Windows
// source and are handled the way the main window and the commands dialog handle them.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "capture_fixture.h"
#include "raw_input_test_window.h"
#include "tests/support/desktop.h"
#include "tests/support/unix_command.h"
#include "tests/support/xdotool_key_script.h"
#include "trigger/raw_input_source_win.h"
#include "trigger/trigger_tracker.h"

namespace orvello::test {
namespace {

const std::u16string kWineKeyboardIdentity = u"\\\\?\\HID#VID_845E&PID_0002";

using namespace keycode;

// Takes the shared test window's WM_INPUT over for as long as it lives: each record is decoded
// by a reader of its own and handed to `sink`, as the window that owns a capture does.
class KeyboardRoute {
public:
    using Sink = std::function<void(const KeyboardEvent&)>;

    explicit KeyboardRoute(HWND window) : window_(window) {
        current_ = this;
        original_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&procedure)));
    }
    ~KeyboardRoute() {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        current_ = nullptr;
    }
    KeyboardRoute(const KeyboardRoute&) = delete;
    KeyboardRoute& operator=(const KeyboardRoute&) = delete;

    void setSink(Sink sink) { sink_ = std::move(sink); }
    [[nodiscard]] RawKeyboardReader& reader() { return reader_; }
    [[nodiscard]] int decodedEvents() const { return decodedEvents_; }

    // Presses keys on the virtual keyboard and waits until `count` more events were decoded,
    // then a little longer so that unexpected extra events are seen too.
    [[nodiscard]] bool sendKeys(const std::string& keys, int count) {
        const int target = decodedEvents_ + count;
        if (RunUnixCommand("xdotool" + keys) != 0) return false;
        const bool arrived = pumpUntil([&] { return decodedEvents_ >= target; }, 3000);
        pumpUntil([] { return false; }, 100);
        return arrived && decodedEvents_ == target;
    }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INPUT && current_ != nullptr) {
            current_->onInput(lParam);
            return DefWindowProcW(window, message, wParam, lParam);  // frees the input
        }
        return CallWindowProcW(current_->original_, window, message, wParam, lParam);
    }

    void onInput(LPARAM lParam) {
        const std::optional<KeyboardEvent> event = reader_.decode(rawInputHandleOf(lParam));
        if (!event) return;
        ++decodedEvents_;
        if (sink_) sink_(*event);
    }

    static inline KeyboardRoute* current_ = nullptr;
    HWND window_;
    WNDPROC original_ = nullptr;
    RawKeyboardReader reader_{std::make_unique<WinRawInputSource>()};
    Sink sink_;
    int decodedEvents_ = 0;
};

// The shared window, registered for keyboards, with the focus, its input routed here.
class CaptureOnWinesKeyboard : public ::testing::Test {
protected:
    void SetUp() override {
        window.startFresh();
        ASSERT_TRUE(window.registerForKeyboards());
        if (GetForegroundWindow() != window.hwnd()) {
            ASSERT_TRUE(ShowAndFocus(window.hwnd()));
        }
        route = std::make_unique<KeyboardRoute>(window.hwnd());
    }
    void TearDown() override { route.reset(); }

    RawInputTestWindow& window = sharedTestWindow();
    std::unique_ptr<KeyboardRoute> route;
};

// The main window's path: every event to its capture while one runs, otherwise to the tracker.
class MainWindowCaptureOnWinesKeyboard : public CaptureOnWinesKeyboard {
protected:
    void SetUp() override {
        CaptureOnWinesKeyboard::SetUp();
        tracker = std::make_unique<TriggerTracker>(route->reader(), trackerOwner, trackerMessages);
        capture = std::make_unique<MainWindowTriggerCapture>(*tracker, mainWindow, mainWindow);
        route->setSink([this](const KeyboardEvent& event) { capture->onKeyEvent(event); });
    }

    RecordingOwner trackerOwner;
    RecordingMessages trackerMessages;
    RecordingMainWindow mainWindow;
    std::unique_ptr<TriggerTracker> tracker;
    std::unique_ptr<MainWindowTriggerCapture> capture;
};

TEST_F(MainWindowCaptureOnWinesKeyboard, RightCtrlPressedAndReleasedBecomesTheTrigger) {
    tracker->setDictationTrigger(anyKeyboard({LS, LC}));
    capture->onSelectTrigger();
    ASSERT_TRUE(route->sendKeys(tap(kRightCtrl), 2));

    EXPECT_FALSE(capture->isCapturing());
    EXPECT_EQ(tracker->dictationTrigger().keys, Keys{RC});
    EXPECT_TRUE(tracker->dictationTrigger().anyKeyboard);
    EXPECT_EQ(mainWindow.log.shownText, u"Right Ctrl");
    EXPECT_EQ(std::count(mainWindow.log.calls.begin(), mainWindow.log.calls.end(), "save"), 1);
    EXPECT_TRUE(mainWindow.log.messages.empty());

    ASSERT_TRUE(route->sendKeys(tap(kRightCtrl), 2));
    EXPECT_EQ(trackerOwner.take(), (Calls{"start dictation", "stop"}))
        << "after the capture the new trigger starts recordings";
}

TEST_F(MainWindowCaptureOnWinesKeyboard, CombinationIsCapturedWithoutStartingARecording) {
    tracker->setDictationTrigger(anyKeyboard({RC}));
    capture->onSelectTrigger();
    ASSERT_TRUE(route->sendKeys(
        down(kRightCtrl) + down(kLeftShift) + up(kLeftShift) + tap(kLeftAlt) + up(kRightCtrl), 6));
    EXPECT_EQ(tracker->dictationTrigger().keys, (Keys{LS, RC, LA}));
    EXPECT_EQ(mainWindow.log.shownText, u"Left Shift + Right Ctrl + Left Alt");
    EXPECT_TRUE(trackerOwner.take().empty()) << "Right Ctrl reached the tracker during a capture";
    EXPECT_TRUE(mainWindow.log.messages.empty());
}

TEST_F(MainWindowCaptureOnWinesKeyboard, LeftCtrlAndALetterCancelAndTheOldTriggerReturns) {
    tracker->setDictationTrigger(anyKeyboard({RC}));
    capture->onSelectTrigger();
    ASSERT_TRUE(route->sendKeys(down(kLeftCtrl) + tap(kLetterA) + up(kLeftCtrl), 4));

    EXPECT_FALSE(capture->isCapturing());
    EXPECT_EQ(tracker->dictationTrigger().keys, Keys{RC});
    EXPECT_EQ(mainWindow.log.shownText, u"Right Ctrl");
    EXPECT_EQ(mainWindow.log.shownKeys, Keys{RC});
    EXPECT_EQ(std::count(mainWindow.log.calls.begin(), mainWindow.log.calls.end(), "save"), 0);
}

TEST_F(MainWindowCaptureOnWinesKeyboard, WithMultipleKeyboardsTheTriggerIsBoundToWinesKeyboard) {
    mainWindow.multipleKeyboards = true;
    capture->onSelectTrigger();
    ASSERT_TRUE(
        route->sendKeys(down(kLeftCtrl) + down(kRightShift) + up(kLeftCtrl) + up(kRightShift), 4));

    EXPECT_EQ(tracker->dictationTrigger().keys, (Keys{RS, LC}));
    EXPECT_FALSE(tracker->dictationTrigger().anyKeyboard);
    EXPECT_EQ(tracker->dictationTrigger().deviceId, kWineKeyboardIdentity);
    EXPECT_EQ(mainWindow.log.shownText, u"Right Shift + Left Ctrl | Keyboard: VID_845E&PID_0002");
    EXPECT_TRUE(mainWindow.multipleKeyboards);
}

TEST_F(MainWindowCaptureOnWinesKeyboard, LeftAltAloneIsKeptWithAWarning) {
    capture->onSelectTrigger();
    ASSERT_TRUE(route->sendKeys(tap(kLeftAlt), 2));
    EXPECT_EQ(tracker->dictationTrigger().keys, Keys{LA});
    ASSERT_EQ(mainWindow.log.messages.size(), 1u);
    EXPECT_EQ(mainWindow.log.messages[0].first, MessageIcon::Exclamation);
}

// The commands dialog's path: events go to its capture only while one runs.
class CommandsDialogCaptureOnWinesKeyboard : public CaptureOnWinesKeyboard {
protected:
    void SetUp() override {
        CaptureOnWinesKeyboard::SetUp();
        dialog.capture = &capture;
        route->setSink([this](const KeyboardEvent& event) {
            if (capture.isCapturing()) capture.onKeyEvent(event);
        });
    }

    RecordingCommandsDialog dialog;
    CommandsDialogTriggerCapture capture{anyKeyboard({RA}), anyKeyboard({RC}), true, dialog,
                                         dialog};
};

TEST_F(CommandsDialogCaptureOnWinesKeyboard, ButtonCapturesAndASecondClickCancels) {
    capture.onSelectTrigger();
    EXPECT_EQ(dialog.buttonText, u"Press keys...");
    ASSERT_TRUE(
        route->sendKeys(down(kLeftCtrl) + down(kLeftShift) + up(kLeftCtrl) + up(kLeftShift), 4));
    EXPECT_EQ(capture.commandTrigger().keys, (Keys{LS, LC}));
    EXPECT_EQ(dialog.buttonText, u"Select Trigger");
    EXPECT_TRUE(dialog.log.messages.empty());

    capture.onSelectTrigger();
    ASSERT_TRUE(route->sendKeys(down(kRightCtrl), 1));
    capture.onSelectTrigger();
    ASSERT_TRUE(route->sendKeys(up(kRightCtrl), 1));
    EXPECT_FALSE(capture.isCapturing());
    EXPECT_EQ(capture.commandTrigger().keys, (Keys{LS, LC}));

    capture.onSelectTrigger();
    ASSERT_TRUE(route->sendKeys(tap(kRightCtrl), 2));
    EXPECT_EQ(capture.commandTrigger().keys, Keys{RC});
    ASSERT_EQ(dialog.log.messages.size(), 1u) << "the dictation trigger's keys draw the notice";
    EXPECT_EQ(dialog.log.messages[0].first, MessageIcon::Information);
}

}  // namespace
}  // namespace orvello::test
