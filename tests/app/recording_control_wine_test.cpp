// Recording control under Wine on a hidden test window standing in for the main window: the
// engine (the demo model beside the test program), a push-to-talk recording from the virtual
// microphone with the overlay and the log, the application messages and the input test.
#include "app/recording_control_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "app/app_messages.h"
#include "app/text_message_win.h"
#include "engine/model_files.h"
#include "tests/app/recording_message_pump.h"
#include "tests/audio/virtual_microphone_win.h"
#include "tests/support/test_window.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;

// Time for waveInOpen to connect to the microphone before the feed begins.
constexpr auto kDeviceOpenTime = 300ms;
// Carries the end of the speech through the device's buffers before the trigger is released.
constexpr auto kTailSilence = 500ms;

// The main window as recording control sees it: its log, trigger, device list and settings.
class TestRecordingHost final : public RecordingHost {
public:
    explicit TestRecordingHost(HWND window) : window_(window) {
        button_ = CreateWindowExW(0, L"BUTTON", L"Test Input", WS_CHILD | BS_PUSHBUTTON, 0, 0, 80,
                                  20, window, HMENU(1015), nullptr, nullptr);
        meter_ = CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD, 0, 30, 100, 20, window,
                                 HMENU(1016), nullptr, nullptr);
        SendMessageW(meter_, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
    }

    HWND MessageWindow() const override { return window_; }
    HWND TestInputButton() const override { return button_; }
    HWND TestLevelMeter() const override { return meter_; }
    void AppendLog(std::wstring_view text) override { log.emplace_back(text); }
    void ResetTriggerWithoutStopRequest() override { ++triggerResets; }
    bool ActiveTriggerIsCommand() const override { return commandTriggerActive; }
    std::span<const InputDeviceEntry> InputDevices() const override { return devices; }
    std::optional<std::size_t> SelectedInputDevice() const override { return selection; }
    const Settings& CurrentSettings() const override { return settings; }

    [[nodiscard]] std::wstring ButtonText() const {
        wchar_t text[64] = {};
        GetWindowTextW(button_, text, 64);
        return text;
    }
    [[nodiscard]] int MeterPosition() const { return int(SendMessageW(meter_, PBM_GETPOS, 0, 0)); }
    void SetMeterPosition(int position) const { SendMessageW(meter_, PBM_SETPOS, position, 0); }

    std::vector<std::wstring> log;
    int triggerResets = 0;
    bool commandTriggerActive = false;
    std::vector<InputDeviceEntry> devices;
    std::optional<std::size_t> selection;
    Settings settings;

private:
    HWND window_;
    HWND button_ = nullptr;
    HWND meter_ = nullptr;
};

// What reached the window besides the level messages, in order; and the recognised texts.
struct Received {
    std::vector<std::wstring> events;
    std::vector<std::wstring> results;
    int levelMessages = 0;
    float loudestListeningLevel = 0.0f;  // the overlay's newest bar after each level message
    int sessionsDone = 0;
};

class RecordingControlTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }

    void SetUp() override {
        ASSERT_TRUE(overlay.Create());
        window.OnMessage([this](UINT message, WPARAM wParam, LPARAM lParam) {
            return Receive(message, wParam, lParam);
        });
    }

    bool Receive(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_APP_RESULT_TEXT) {  // the routing's message, not recording control's
            const std::optional<std::wstring> text = control->texts().Take(WM_APP_RESULT_TEXT);
            received.results.push_back(text ? *text : L"(none)");
            received.events.push_back(L"result");
            return true;
        }
        const std::size_t logLines = host.log.size();
        if (!control->handleMessage(message, wParam, lParam)) return false;
        if (message == WM_APP_AUDIO_LEVEL) {
            ++received.levelMessages;
            if (overlay.State() == OverlayState::Listening && !overlay.LevelHistory().empty())
                received.loudestListeningLevel =
                    std::max(received.loudestListeningLevel, overlay.LevelHistory().back());
        } else if (message == WM_APP_STATUS_TEXT) {
            received.events.push_back(host.log.size() > logLines ? L"log " + host.log.back()
                                                                 : L"no log line");
        } else if (message == WM_APP_CAPTURE_DONE) {
            received.events.push_back(L"capture done");
        } else if (message == WM_APP_SESSION_DONE) {
            ++received.sessionsDone;
            received.events.push_back(L"session done");
        }
        return true;
    }

    // The virtual microphone as the device list's second entry, selected.
    UINT SelectMicrophone() {
        const UINT microphone = test::WaveInDeviceNamed(L"OrvelloMic");
        host.devices = {{.deviceNumber = 99, .name = u"Not a device"},
                        {.deviceNumber = microphone, .name = u"OrvelloMic"}};
        host.selection = 1;
        return microphone;
    }

    // espeak-ng's speech of `text` as a WAV file in the build folder, for FeedMicrophone.
    static std::string SpeechWav(const std::string& text, const std::string& name) {
        const std::string wav = test::BuildFolderFile(name);
        EXPECT_FALSE(test::SpeakToWav(text, wav).empty()) << "could not synthesize " << text;
        return wav;
    }

    test::TestWindow window{L"Orvello recording control"};
    TestRecordingHost host{window.hwnd()};
    COverlayWindow overlay;
    std::unique_ptr<RecordingControl> control = std::make_unique<RecordingControl>(host, overlay);
    Received received;
};

TEST_F(RecordingControlTest, ReloadLoadsTheModelBesideTheProgramAndReportsOnlyWhenAsked) {
    host.settings.noiseGate = 40;
    host.settings.lowCutHz = 120;
    host.settings.dspEnabled = false;

    EXPECT_TRUE(control->reload(false));
    ASSERT_NE(control->service(), nullptr);
    EXPECT_EQ(control->service()->ModelDirectory(), ExecutableDirectory() / "models");
    EXPECT_TRUE(host.log.empty());
    EXPECT_EQ(host.triggerResets, 1);
    // The new service starts with the window's DSP settings, the rest at their defaults.
    const ConditioningSettings conditioning = control->service()->GetConditioning();
    EXPECT_FALSE(conditioning.enabled);
    EXPECT_FLOAT_EQ(conditioning.lowCutHz, 120.0f);
    EXPECT_FLOAT_EQ(conditioning.gateOpenLevel, 0.02f);
    EXPECT_FLOAT_EQ(conditioning.gateCloseLevel, 0.012f);
    EXPECT_FLOAT_EQ(conditioning.gateFloorGain, ConditioningSettings{}.gateFloorGain);
    EXPECT_FLOAT_EQ(conditioning.releaseMs, ConditioningSettings{}.releaseMs);

    // "Reload Engine": a new service (without the old one's marked floor gain), the overlay's
    // graph gone, the trigger reset again.
    ConditioningSettings marked = conditioning;
    marked.gateFloorGain = 0.5f;
    control->service()->SetConditioning(marked);
    overlay.ShowListening();
    EXPECT_TRUE(control->reload(true));
    ASSERT_NE(control->service(), nullptr);
    EXPECT_FLOAT_EQ(control->service()->GetConditioning().gateFloorGain,
                    ConditioningSettings{}.gateFloorGain);
    EXPECT_FLOAT_EQ(control->service()->GetConditioning().gateOpenLevel, 0.02f);
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);
    EXPECT_EQ(host.triggerResets, 2);
    EXPECT_EQ(host.log, (std::vector<std::wstring>{
                            L"Engine ready.\r\n", L"Model: the English demo model, " +
                                                      (ExecutableDirectory() / "models").wstring() +
                                                      L"\r\n"}));
}

TEST_F(RecordingControlTest, TheStartUpOverlayStaysForTheCallerToHide) {
    overlay.ShowStarting();
    EXPECT_TRUE(control->reload(false));
    EXPECT_EQ(overlay.State(), OverlayState::Starting);
}

TEST_F(RecordingControlTest, WithoutAModelNothingLoadsAndTriggerPressesStartNothing) {
    const fs::path missing = L"Z:\\tmp\\orvello-no-model-\u00E9";
    control = std::make_unique<RecordingControl>(host, overlay, missing);
    SelectMicrophone();

    overlay.ShowStarting();
    EXPECT_FALSE(control->reload(false));
    EXPECT_EQ(control->service(), nullptr);
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);
    EXPECT_TRUE(host.log.empty());

    overlay.ShowStarting();
    EXPECT_FALSE(control->reload(true));
    EXPECT_EQ(control->service(), nullptr);
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);
    EXPECT_EQ(host.log, std::vector<std::wstring>{L"Engine load failed: Model directory not "
                                                  L"found: Z:\\tmp\\orvello-no-model-\u00E9\r\n"});

    host.log.clear();
    control->startRequest();
    control->stopRequest();
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);
    test::PumpMessagesFor(300ms);
    EXPECT_TRUE(received.events.empty());
    EXPECT_EQ(received.levelMessages, 0);
    EXPECT_TRUE(host.log.empty());
}

TEST_F(RecordingControlTest, PushToTalkTypesWhatIsSpokenIntoTheMicrophone) {
    const UINT microphone = SelectMicrophone();
    ASSERT_NE(microphone, UINT(-1)) << "the virtual microphone is missing";
    const std::string wav = SpeechWav("open browser", "recording-control-open-browser.wav");
    ASSERT_TRUE(control->reload(true));
    host.log.clear();
    test::DrainMicrophone(microphone);

    host.commandTriggerActive = true;
    control->startRequest();
    EXPECT_TRUE(control->recordingIsCommand());
    EXPECT_EQ(overlay.State(), OverlayState::Listening);
    std::this_thread::sleep_for(kDeviceOpenTime);
    std::future<int> feeding = test::FeedMicrophone(wav, kTailSilence);
    EXPECT_TRUE(
        test::PumpMessagesUntil([&] { return feeding.wait_for(0s) == std::future_status::ready; }));
    EXPECT_EQ(feeding.get(), 0);
    EXPECT_EQ(overlay.State(), OverlayState::Listening);

    control->stopRequest();
    // A second press while the first recording is being transcribed starts nothing. The
    // transcription takes a few milliseconds; on a machine so loaded that it was over before
    // this thread ran again, there is no such press to make.
    if (control->service()->IsBusy()) {
        host.commandTriggerActive = false;
        control->startRequest();
        EXPECT_TRUE(control->recordingIsCommand());
    }

    ASSERT_TRUE(test::PumpMessagesUntil([&] { return received.sessionsDone > 0; }));
    test::PumpMessagesFor(300ms);  // nothing else may follow
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);
    EXPECT_EQ(received.events,
              (std::vector<std::wstring>{L"log [Recording...]\r\n", L"capture done",
                                         L"log [Transcribing...]\r\n", L"result",
                                         L"log [Ready]\r\n", L"session done"}));
    EXPECT_EQ(received.results, std::vector<std::wstring>{L"open browser"});
    EXPECT_GT(received.levelMessages, 10);
    EXPECT_GT(received.loudestListeningLevel, 0.3f);  // speech moved the overlay's graph
    EXPECT_FALSE(control->service()->IsBusy());
}

TEST_F(RecordingControlTest, LevelMessagesMoveTheOverlayOnlyWhileListening) {
    overlay.ShowListening();
    PostMessageW(window.hwnd(), WM_APP_AUDIO_LEVEL, 2500, 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return received.levelMessages == 1; }));
    ASSERT_FALSE(overlay.LevelHistory().empty());
    EXPECT_FLOAT_EQ(overlay.LevelHistory().back(), 1.0f);

    PostMessageW(window.hwnd(), WM_APP_CAPTURE_DONE, 0, 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return !received.events.empty(); }));
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);

    const std::deque<float> hiddenHistory = overlay.LevelHistory();
    PostMessageW(window.hwnd(), WM_APP_AUDIO_LEVEL, 2500, 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return received.levelMessages == 2; }));
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);
    EXPECT_EQ(overlay.LevelHistory(), hiddenHistory);
}

TEST_F(RecordingControlTest, StatusTextsBecomeLogLinesAndEmptyOnesNothing) {
    TextMailbox& texts = control->texts();
    ASSERT_TRUE(texts.Post(window.hwnd(), WM_APP_STATUS_TEXT, L"[Ready]"));
    ASSERT_TRUE(texts.Post(window.hwnd(), WM_APP_STATUS_TEXT, L""));
    // Another program's message with a pointer-like lParam: nothing of ours to take.
    PostMessageW(window.hwnd(), WM_APP_STATUS_TEXT, 0, 0x5EED);
    ASSERT_TRUE(texts.Post(window.hwnd(), WM_APP_STATUS_TEXT, L"Error: waveInOpen failed"));
    PostMessageW(window.hwnd(), WM_APP_SESSION_DONE, 0, 0);
    ASSERT_TRUE(test::PumpMessagesUntil([&] { return received.sessionsDone == 1; }));
    EXPECT_EQ(host.log,
              (std::vector<std::wstring>{L"[Ready]\r\n", L"Error: waveInOpen failed\r\n"}));
    EXPECT_FALSE(control->handleMessage(WM_APP_RESULT_TEXT, 0, 0));
    EXPECT_FALSE(control->handleMessage(WM_APP_TRAY_NOTIFY, 0, 0));
}

TEST_F(RecordingControlTest, InputTestShowsTheMicrophoneLevelAndStopsAtZero) {
    ASSERT_NE(SelectMicrophone(), UINT(-1)) << "the virtual microphone is missing";
    const std::string wav = SpeechWav("volume up", "recording-control-input-test.wav");
    test::DrainMicrophone(host.devices[1].deviceNumber);

    control->toggleInputTest();
    EXPECT_TRUE(control->inputTestRunning());
    EXPECT_EQ(host.ButtonText(), L"Stop Test");
    std::this_thread::sleep_for(kDeviceOpenTime);
    std::future<int> feeding = test::FeedMicrophone(wav, kTailSilence);
    EXPECT_TRUE(test::PumpMessagesUntil([&] { return host.MeterPosition() > 0; }));

    // Stopped while the speech goes on: levels still queued must not move the meter again.
    control->toggleInputTest();
    EXPECT_FALSE(control->inputTestRunning());
    EXPECT_EQ(host.ButtonText(), L"Test Input");
    EXPECT_EQ(host.MeterPosition(), 0);
    test::PumpMessagesFor(300ms);
    EXPECT_EQ(host.MeterPosition(), 0);
    EXPECT_EQ(feeding.get(), 0);

    // The window going away stops a running test the same way.
    control->toggleInputTest();
    host.SetMeterPosition(40);
    control->stopInputTest();
    EXPECT_FALSE(control->inputTestRunning());
    EXPECT_EQ(host.ButtonText(), L"Test Input");
    EXPECT_EQ(host.MeterPosition(), 0);
}

TEST_F(RecordingControlTest, WithoutInputDevicesTriggerAndTestDoNothing) {
    ASSERT_TRUE(control->reload(false));
    host.devices.clear();
    host.commandTriggerActive = true;

    control->startRequest();
    EXPECT_EQ(overlay.State(), OverlayState::Hidden);
    EXPECT_FALSE(control->service()->IsBusy());
    EXPECT_FALSE(control->recordingIsCommand());
    control->stopRequest();

    control->toggleInputTest();
    EXPECT_FALSE(control->inputTestRunning());
    EXPECT_EQ(host.ButtonText(), L"Test Input");
    test::PumpMessagesFor(200ms);
    EXPECT_TRUE(received.events.empty());
    EXPECT_TRUE(host.log.empty());
}

}  // namespace
}  // namespace orvello
