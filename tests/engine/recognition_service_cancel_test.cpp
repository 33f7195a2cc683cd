// Cancelling the recognition service: during a recording, during a transcription, with jobs
// waiting, and by destroying the service; and the recordings that follow a cancel.
#include <gtest/gtest.h>

#include <memory>

#include "engine/recognition_service.h"
#include "tests/engine/service_test_support.h"

namespace orvello {
namespace {

using test::CallbackLog;
using test::Eventually;
using test::ScriptedPcm;
using test::TestModel;

constexpr std::uint32_t kDeviceId = 3;
constexpr ConditioningSettings kUnconditioned{.enabled = false};

// Most frames a recording of one chunk (30 s) may have: its transcription takes the scripted
// model about half a second, 20,000 decoder runs.
constexpr int kLongTranscriptionFrames = 1'999;

class RecognitionServiceCancelTest : public ::testing::Test {
protected:
    void SetUp() override {
        service = std::make_unique<RecognitionService>(
            RecognitionConfig{.modelDirectory = TestModel("scripted-pcm"),
                              .conditioning = kUnconditioned},
            shelf.Factory());
    }

    void StartPlaying(const std::vector<std::int16_t>& samples, RecognitionCallbacks callbacks) {
        ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
        test::ScriptPlayback(device, samples);
        service->StartRecording(kDeviceId, std::move(callbacks));
        device.WaitUntilBlocked();
    }

    // Records and releases a recording that takes long to transcribe; returns once the worker
    // has taken it from the queue.
    void RecordLongTranscription(CallbackLog& log) {
        StartPlaying(ScriptedPcm(test::TenHellosAtEveryFrame(kLongTranscriptionFrames)),
                     log.Callbacks());
        service->StopRecording();
        ASSERT_TRUE(Eventually([&] { return service->QueuedJobs() == 0; }));
    }

    void ExpectTheNextRecordingToWork() {
        CallbackLog log;
        StartPlaying(ScriptedPcm(test::HelloWorldBang()), log.Callbacks());
        service->StopRecording();
        ASSERT_TRUE(log.WaitFor("finished"));
        EXPECT_EQ(log.Texts(), std::vector<std::string>{"hello world!"});
    }

    test::DeviceShelf shelf;
    std::unique_ptr<RecognitionService> service;
};

TEST_F(RecognitionServiceCancelTest, CancelDuringARecordingEndsItWithoutAJob) {
    CallbackLog log;
    StartPlaying(ScriptedPcm(test::HelloWorldBang()), log.Callbacks());
    service->Cancel();

    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"status [Recording...]", "level", "capture ended",
                                        "status [Cancelled]", "level 0", "finished"}));
    EXPECT_FALSE(service->IsRecording());
    EXPECT_FALSE(service->IsBusy());
    ExpectTheNextRecordingToWork();
}

// The scripted model with 100 tokens a frame: the longest recording of one chunk takes it about
// ten times as long, some seconds, so that the steps below all happen while it runs, unless
// something waits for it.
TEST_F(RecognitionServiceCancelTest, SettingsAndTheNextPressAfterACancelDoNotWaitForTheEngine) {
    test::ScratchFolder slowModel;
    test::CopyModel(TestModel("scripted-pcm"), slowModel.path(), {"config.json"});
    test::WriteFile(slowModel.path() / "config.json", R"({"max_tokens_per_step": 100})");
    service = std::make_unique<RecognitionService>(
        RecognitionConfig{.modelDirectory = slowModel.path(), .conditioning = kUnconditioned},
        shelf.Factory());
    CallbackLog running;
    RecordLongTranscription(running);

    service->SetConditioning(ConditioningSettings{});  // the defaults: enabled
    EXPECT_TRUE(service->GetConditioning().enabled);
    EXPECT_FALSE(running.WaitFor("finished", 1, std::chrono::milliseconds(0)))
        << "changing the settings waited for the transcription";
    service->Cancel();
    EXPECT_FALSE(service->IsBusy()) << "the stopped transcription keeps the service busy";

    // A constant input: the low-cut filter of the new settings takes it away.
    CallbackLog next;
    StartPlaying(std::vector<std::int16_t>(1024, 1000), next.Callbacks());
    EXPECT_TRUE(service->IsRecording());
    service->StopRecording();
    ASSERT_TRUE(next.WaitFor("finished"));
    ASSERT_EQ(next.Levels().size(), 1u);
    EXPECT_LT(next.Levels()[0], 8.0f * 1000.0f / 32768.0f / 4);
    EXPECT_EQ(running.LinesWithoutLevels(),
              (std::vector<std::string>{"status [Recording...]", "capture ended",
                                        "status [Transcribing...]", "finished"}));
}

TEST_F(RecognitionServiceCancelTest, CancelRemovesQueuedJobsWithoutAnyCallback) {
    // The worker is held in the first job's last callback while a second job waits in the queue.
    test::WorkerHold hold;
    CallbackLog first;
    StartPlaying(ScriptedPcm(test::HelloWorldBang()), hold.Callbacks(first, "finished"));
    service->StopRecording();
    ASSERT_TRUE(first.WaitFor("finished"));

    CallbackLog queued;
    StartPlaying(ScriptedPcm(test::HelloWorldBang()), queued.Callbacks());
    service->StopRecording();
    service->Cancel();
    EXPECT_FALSE(service->IsBusy()) << "the cancelled job keeps the service busy";
    hold.Release();

    ASSERT_TRUE(Eventually([&] { return !service->IsBusy(); }));
    EXPECT_EQ(queued.LinesWithoutLevels(),
              (std::vector<std::string>{"status [Recording...]", "capture ended",
                                        "status [Transcribing...]"}));
    EXPECT_EQ(first.Texts(), std::vector<std::string>{"hello world!"});
    ExpectTheNextRecordingToWork();
}

TEST_F(RecognitionServiceCancelTest, DestroyingTheServiceStopsTheRunningTranscription) {
    CallbackLog log;
    RecordLongTranscription(log);
    service.reset();

    EXPECT_EQ(log.LinesWithoutLevels(),
              (std::vector<std::string>{"status [Recording...]", "capture ended",
                                        "status [Transcribing...]", "finished"}));
}

TEST_F(RecognitionServiceCancelTest, CancelWithNothingToCancelChangesNothing) {
    service->Cancel();
    EXPECT_FALSE(service->IsBusy());
    ExpectTheNextRecordingToWork();
}

}  // namespace
}  // namespace orvello
