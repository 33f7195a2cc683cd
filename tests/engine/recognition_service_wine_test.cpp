// The recognition service end to end under Wine: the Windows wave-input device records what is
// fed into the virtual microphone, and the scripted model, scripted through those samples, says
// what it was told to.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "audio/wave_in_device_win.h"
#include "engine/recognition_service.h"
#include "tests/audio/virtual_microphone_win.h"
#include "tests/engine/service_test_support.h"
#include "tools/wav_file.h"

namespace orvello {
namespace {

using namespace std::chrono_literals;
using test::CallbackLog;
using W = test::ScriptedWaveform;

// Time for waveInOpen to connect to the microphone before the feed begins: the microphone
// delivers nothing until then, so the recording starts with the first fed sample, the header.
constexpr auto kDeviceOpenTime = 300ms;
// Carries the last fed samples through the device's buffers. Recordings are stopped only once
// their feed has ended: the microphone keeps what is fed while nobody records and would hand it
// to the next recording.
constexpr auto kTailSilence = 500ms;

class RecognitionServiceOnWine : public ::testing::Test {
protected:
    void SetUp() override {
        microphone = test::WaveInDeviceNamed(L"OrvelloMic");
        ASSERT_NE(microphone, UINT(-1)) << "the virtual microphone is missing";
        service = std::make_unique<RecognitionService>(
            RecognitionConfig{.modelDirectory = test::TestModel("scripted-pcm"),
                              .conditioning = {.enabled = false}},
            [] { return std::make_unique<WinWaveInDevice>(); });
    }

    // Starts a recording, then feeds `samples` into the microphone; get() waits for the feed.
    std::future<int> StartRecordingAndFeed(const std::vector<std::int16_t>& samples,
                                           CallbackLog& log) {
        const std::string wav = test::BuildFolderFile("service-wine-feed.wav");
        WriteWav16kMono("Z:" + wav, samples);
        test::DrainMicrophone(microphone);
        service->StartRecording(microphone, log.Callbacks());
        std::this_thread::sleep_for(kDeviceOpenTime);
        return test::FeedMicrophone(wav, kTailSilence);
    }

    UINT microphone = UINT(-1);
    std::unique_ptr<RecognitionService> service;
};

// "hello world!" said over 60 frames (0.9 s, 15 capture buffers), the words at frames 5, 30, 59.
W SpreadOutHelloWorld() {
    W waveform(60);
    waveform.At(5, 0, W::kBlank, W::kHello, 1)
        .At(30, 1, W::kHello, W::kWorld, 1)
        .At(59, 2, W::kWorld, W::kBang, 1);
    return waveform;
}

TEST_F(RecognitionServiceOnWine, RecognisesWhatIsSpokenIntoTheMicrophone) {
    const std::vector<std::int16_t> samples = test::ScriptedPcm(SpreadOutHelloWorld());
    CallbackLog log;
    EXPECT_EQ(StartRecordingAndFeed(samples, log).get(), 0);
    service->StopRecording();
    ASSERT_TRUE(log.WaitFor("finished"));

    EXPECT_EQ(log.Texts(), std::vector<std::string>{"hello world!"});
    std::vector<std::string> lines = log.LinesWithoutLevels();
    std::erase(lines, "level 0");  // buffers of the silence after the waveform
    EXPECT_EQ(lines, (std::vector<std::string>{"status [Recording...]", "capture ended",
                                               "status [Transcribing...]", "text hello world!",
                                               "status [Ready]", "finished"}));
}

TEST_F(RecognitionServiceOnWine, CancelDuringARecordingClosesTheMicrophoneAndQueuesNothing) {
    CallbackLog log;
    std::future<int> feeding = StartRecordingAndFeed(test::ScriptedPcm(SpreadOutHelloWorld()), log);
    EXPECT_TRUE(test::Eventually([&] { return !log.Levels().empty(); }));
    service->Cancel();

    const std::vector<std::string> lines = log.LinesWithoutLevels();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines.front(), "status [Recording...]");
    EXPECT_EQ(
        std::vector<std::string>(lines.end() - 4, lines.end()),
        (std::vector<std::string>{"capture ended", "status [Cancelled]", "level 0", "finished"}));
    EXPECT_FALSE(service->IsBusy());

    // The device was closed and opens again for the next recording, which takes in the rest of
    // the feed.
    CallbackLog next;
    service->StartRecording(microphone, next.Callbacks());
    EXPECT_EQ(feeding.get(), 0);
    EXPECT_TRUE(test::Eventually([&] { return !next.Levels().empty(); }));
    service->StopRecording();
    ASSERT_TRUE(next.WaitFor("finished"));
    EXPECT_EQ(next.Lines().front(), "status [Recording...]");
}

}  // namespace
}  // namespace orvello
