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

TEST_F(RecognitionServiceCancelTest, CancelDuringATranscriptionSuppressesItsResultsButFinishesIt) {
    CallbackLog log;
    RecordLongTranscription(log);
    service->Cancel();
    EXPECT_TRUE(service->IsBusy()) << "the running job no longer keeps the service busy";

    ASSERT_TRUE(log.WaitFor("finished"));
    EXPECT_EQ(log.LinesWithoutLevels(),
              (std::vector<std::string>{"status [Recording...]", "capture ended",
                                        "status [Transcribing...]", "finished"}));
    EXPECT_TRUE(Eventually([&] { return !service->IsBusy(); }));
    ExpectTheNextRecordingToWork();
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
    EXPECT_TRUE(service->IsBusy()) << "the held job no longer keeps the service busy";
    hold.Release();

    ASSERT_TRUE(Eventually([&] { return !service->IsBusy(); }));
    EXPECT_EQ(queued.LinesWithoutLevels(),
              (std::vector<std::string>{"status [Recording...]", "capture ended",
                                        "status [Transcribing...]"}));
    EXPECT_EQ(first.Texts(), std::vector<std::string>{"hello world!"});
    ExpectTheNextRecordingToWork();
}

TEST_F(RecognitionServiceCancelTest, DestroyingTheServiceWaitsForTheRunningTranscription) {
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
