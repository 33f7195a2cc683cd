// The recognition service over a scripted wave-input device and the scripted models: the
// callbacks of every way a recording can end, loading on demand, and the busy state.
#include <gtest/gtest.h>

#include <algorithm>

#include <memory>
#include <utility>

#include "engine/engine_error.h"
#include "engine/recognition_service.h"
#include "tests/engine/service_test_support.h"

namespace orvello {
namespace {

using test::CallbackLog;
using test::Eventually;
using test::ScriptedPcm;
using test::TestModel;

constexpr std::uint32_t kDeviceId = 3;
constexpr WaveInResult kBadDeviceId = 2;  // MMSYSERR_BADDEVICEID
constexpr ConditioningSettings kUnconditioned{.enabled = false};

class RecognitionServiceTest : public ::testing::Test {
protected:
    void MakeService(const fs::path& modelDirectory) {
        service = std::make_unique<RecognitionService>(
            RecognitionConfig{.modelDirectory = modelDirectory, .conditioning = kUnconditioned},
            shelf.Factory());
    }

    // Starts a recording that plays `samples` and then waits for the release.
    ScriptedWaveInDevice& StartPlaying(const std::vector<std::int16_t>& samples,
                                       RecognitionCallbacks callbacks) {
        ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
        test::ScriptPlayback(device, samples);
        service->StartRecording(kDeviceId, std::move(callbacks));
        device.WaitUntilBlocked();
        return device;
    }

    // One whole recording, from the press to the end of its processing.
    void Record(const std::vector<std::int16_t>& samples, CallbackLog& log) {
        StartPlaying(samples, log.Callbacks());
        service->StopRecording();
        ASSERT_TRUE(log.WaitFor("finished"));
    }

    test::DeviceShelf shelf;
    std::unique_ptr<RecognitionService> service;
};

TEST_F(RecognitionServiceTest, ANormalRecordingReportsItsTextAndEveryStep) {
    MakeService(TestModel("scripted-pcm"));
    CallbackLog log;
    Record(ScriptedPcm(test::HelloWorldBang()), log);

    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"status [Recording...]", "level", "capture ended",
                                        "status [Transcribing...]", "text hello world!",
                                        "status [Ready]", "finished"}));
    EXPECT_TRUE(Eventually([&] { return !service->IsBusy(); }));
}

TEST_F(RecognitionServiceTest, EachBufferReportsItsLevelAndEverySampleReachesTheEngine) {
    MakeService(TestModel("scripted-pcm"));
    // Ten frames over three buffers; the words sit in the last frame, after both buffer seams.
    test::ScriptedWaveform waveform(10);
    waveform.At(9, 0, test::ScriptedWaveform::kBlank, test::ScriptedWaveform::kCa, 0)
        .At(9, 1, test::ScriptedWaveform::kCa, test::ScriptedWaveform::kBang, 1);
    CallbackLog log;
    Record(ScriptedPcm(waveform), log);

    EXPECT_EQ(log.Texts(), std::vector<std::string>{"\xC3\xA7\x61!"});  // "ça!"
    EXPECT_EQ(log.Levels().size(), 3u);
}

TEST_F(RecognitionServiceTest, ARecordingWithoutSpeechSaysSo) {
    MakeService(TestModel("scripted-pcm"));
    CallbackLog log;
    Record(ScriptedPcm(test::ScriptedWaveform(3)), log);  // blanks only

    EXPECT_EQ(log.LinesWithoutLevels(),
              (std::vector<std::string>{"status [Recording...]", "capture ended",
                                        "status [Transcribing...]", "status [no speech recognized]",
                                        "finished"}));
}

// Quiet is reported while the recording goes on; the owner decides whether to stop it.
TEST_F(RecognitionServiceTest, QuietWithoutABreakIsReportedOnceAndTheRecordingGoesOn) {
    service = std::make_unique<RecognitionService>(
        RecognitionConfig{.modelDirectory = TestModel("scripted-pcm"),
                          .conditioning = kUnconditioned,
                          .longQuietSamples = 3 * kSpeechWindowSamples},
        shelf.Factory());
    std::vector<std::int16_t> samples = ScriptedPcm(test::HelloWorldBang());
    samples.resize(samples.size() + 5 * kSpeechWindowSamples, 0);
    CallbackLog log;
    StartPlaying(samples, log.Callbacks());
    EXPECT_TRUE(log.WaitFor("long quiet"));
    EXPECT_TRUE(service->IsRecording());
    service->StopRecording();
    ASSERT_TRUE(log.WaitFor("finished"));
    std::vector<std::string> lines = log.Lines();
    std::erase_if(lines, [](const std::string& line) { return line.starts_with("level"); });
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "long quiet"), 1)
        << ::testing::PrintToString(lines);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[1], "long quiet");
    EXPECT_EQ(lines[2], "capture ended");
}

TEST_F(RecognitionServiceTest, AReleaseBeforeAnyBufferReportsNoAudio) {
    MakeService(TestModel("scripted-pcm"));
    CallbackLog log;
    Record({}, log);

    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{"status [Recording...]", "capture ended",
                                        "status [No audio captured]", "level 0", "finished"}));
    EXPECT_FALSE(service->IsBusy());
}

TEST_F(RecognitionServiceTest, ADeviceThatCannotBeOpenedReportsTheSystemsTextAfterTheCaptureEnds) {
    MakeService(TestModel("scripted-pcm"));
    ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
    device.openResult = kBadDeviceId;
    device.errorTexts[kBadDeviceId] = "The specified device ID is out of range.";
    CallbackLog log;
    service->StartRecording(kDeviceId, log.Callbacks());
    ASSERT_TRUE(log.WaitFor("finished"));

    EXPECT_EQ(log.Lines(),
              (std::vector<std::string>{
                  "status [Recording...]", "capture ended",
                  "status Error: waveInOpen failed: The specified device ID is out of range.",
                  "level 0", "finished"}));
    EXPECT_EQ(device.Calls(), (std::vector<std::string>{"CreateEvent", "Open 3", "CloseEvent"}));
    EXPECT_TRUE(Eventually([&] { return !service->IsRecording() && !service->IsBusy(); }));
}

// The first job fails while the second waits in the queue: each reports its own error, neither
// finishes, and the service ends up ready.
TEST_F(RecognitionServiceTest, ATranscriptionErrorIsReportedWithoutFinishingAndTheQueuedJobRuns) {
    MakeService(TestModel("encoder-rank2"));  // every transcription fails at the encoder outputs
    const std::string error = "status Error: Unexpected Parakeet encoder outputs.";
    test::WorkerHold hold;
    CallbackLog first;
    StartPlaying(ScriptedPcm(test::HelloWorldBang()), hold.Callbacks(first, error));
    service->StopRecording();
    ASSERT_TRUE(first.WaitFor(error));
    CallbackLog queued;
    StartPlaying(ScriptedPcm(test::HelloWorldBang()), queued.Callbacks());
    service->StopRecording();
    EXPECT_EQ(service->QueuedJobs(), 1u);
    hold.Release();

    ASSERT_TRUE(queued.WaitFor(error));
    EXPECT_TRUE(Eventually([&] { return !service->IsBusy(); }));
    for (const CallbackLog* log : {&first, &queued}) {
        EXPECT_EQ(log->LinesWithoutLevels(),
                  (std::vector<std::string>{"status [Recording...]", "capture ended",
                                            "status [Transcribing...]", error}));
    }
}

// The device stopped delivering, so the recording ended without a release; the next press joins
// its thread and records.
TEST_F(RecognitionServiceTest, ARecordingStartsRightAfterOneThatEndedByItself) {
    MakeService(TestModel("scripted-pcm"));
    ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
    test::ScriptBuffers(device, ScriptedPcm(test::HelloWorldBang()));
    device.Script({.result = BufferWaitResult::Failed});
    CallbackLog ended;
    service->StartRecording(kDeviceId, ended.Callbacks());
    ASSERT_TRUE(ended.WaitFor("finished"));
    EXPECT_FALSE(service->IsRecording());

    CallbackLog next;
    Record(ScriptedPcm(test::HelloWorldBang()), next);
    EXPECT_EQ(ended.Texts(), std::vector<std::string>{"hello world!"});
    EXPECT_EQ(next.Texts(), std::vector<std::string>{"hello world!"});
}

TEST_F(RecognitionServiceTest, StartingWhileRecordingDropsTheSecondRequest) {
    MakeService(TestModel("scripted-pcm"));
    CallbackLog first;
    CallbackLog second;
    StartPlaying(ScriptedPcm(test::HelloWorldBang()), first.Callbacks());
    shelf.Add<ScriptedWaveInDevice>();  // would be used by a second recording

    service->StartRecording(kDeviceId, second.Callbacks());
    EXPECT_TRUE(service->IsRecording());
    service->StopRecording();
    ASSERT_TRUE(first.WaitFor("finished"));

    EXPECT_EQ(shelf.HandedOut(), 1);
    EXPECT_TRUE(second.Lines().empty());
    EXPECT_EQ(first.Texts(), std::vector<std::string>{"hello world!"});
}

TEST_F(RecognitionServiceTest, BusyLastsFromTheStartToTheEndOfTheJob) {
    MakeService(TestModel("scripted-pcm"));
    EXPECT_FALSE(service->IsBusy());
    CallbackLog log;
    StartPlaying(ScriptedPcm(test::HelloWorldBang()), log.Callbacks());
    EXPECT_TRUE(service->IsRecording());
    EXPECT_TRUE(service->IsBusy());

    service->StopRecording();
    EXPECT_FALSE(service->IsRecording());
    ASSERT_TRUE(log.WaitFor("finished"));
    EXPECT_TRUE(Eventually([&] { return !service->IsBusy(); }));
}

TEST_F(RecognitionServiceTest, AMissingModelDirectoryReachesTheCallerAndStartsNothing) {
    test::ScratchFolder scratch;
    const fs::path absent = scratch.path() / "absent";
    MakeService(absent);
    CallbackLog log;
    try {
        service->StartRecording(kDeviceId, log.Callbacks());
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Model directory not found: " + PathForMessage(absent));
    }
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_EQ(shelf.HandedOut(), 0);
    EXPECT_FALSE(service->IsBusy());
    EXPECT_FALSE(service->IsRecording());
}

TEST_F(RecognitionServiceTest, AnEmptyModelDirectoryMeansTheDefaultSearchBesideTheProgram) {
    MakeService({});
    EXPECT_EQ(service->ModelDirectory(), DefaultModelDirectory());
    try {
        service->EnsureModelLoaded();  // there is no model beside the test program
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Model directory not found: " + PathForMessage(ExecutableDirectory() / "models"));
    }
}

TEST_F(RecognitionServiceTest, AFailedLoadIsTriedAgainByTheNextCall) {
    test::ScratchFolder scratch;
    MakeService(scratch.path());
    try {
        service->EnsureModelLoaded();
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Failed to open file: " + PathForMessage(scratch.path() / "config.json"));
    }

    test::CopyModel(TestModel("scripted-pcm"), scratch.path());
    CallbackLog log;
    Record(ScriptedPcm(test::HelloWorldBang()), log);
    EXPECT_EQ(log.Texts(), std::vector<std::string>{"hello world!"});
}

// Whatever follows the speech by more than its margin is never transcribed: a "world" 30 frames
// (0.45 s) after "hello world!", spoken below the quiet level, is not heard.
TEST_F(RecognitionServiceTest, WhatFollowsTheSpeechIsNotTranscribed) {
    MakeService(TestModel("scripted-pcm"));
    using W = test::ScriptedWaveform;
    W waveform(31);
    waveform.At(0, 0, W::kBlank, W::kHello, 0)
        .At(0, 1, W::kHello, W::kWorld, 1)
        .At(1, 2, W::kWorld, W::kBang, 1)
        .Always(30, W::kWorld, 1);
    std::vector<std::int16_t> samples = ScriptedPcm(waveform);
    const std::vector<std::int16_t> quiet = ScriptedPcm(waveform, 1);  // marks of 1 / 32768
    const std::size_t speechEnd = 1 + 2 * W::kFrameSize;
    std::copy(quiet.begin() + speechEnd, quiet.end(), samples.begin() + speechEnd);
    CallbackLog log;
    Record(samples, log);
    EXPECT_EQ(log.Texts(), std::vector<std::string>{"hello world!"});
}

// A constant input: its level is 8 times its amplitude unconditioned; the low-cut filter takes
// the constant away when conditioning is on.
TEST_F(RecognitionServiceTest, ConditioningIsCopiedAtTheStartOfEachRecording) {
    MakeService(TestModel("scripted-pcm"));
    const std::vector<std::byte> constant = SampleBytes(std::vector<std::int16_t>(1024, 1000));
    const float unconditionedLevel = 8.0f * 1000.0f / 32768.0f;
    CallbackLog during;
    ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
    device.ScriptReturnedBuffers({constant});
    device.Script({.duringWait = [&] {
        service->SetConditioning(ConditioningSettings{});  // the defaults: enabled
    }});
    device.ScriptReturnedBuffers({constant});
    device.Script({.blockUntilWoken = true});
    service->StartRecording(kDeviceId, during.Callbacks());
    device.WaitUntilBlocked();
    service->StopRecording();
    ASSERT_TRUE(during.WaitFor("finished"));
    EXPECT_EQ(during.Levels(), (std::vector<float>{unconditionedLevel, unconditionedLevel}));
    EXPECT_TRUE(service->GetConditioning().enabled);

    CallbackLog after;
    Record(std::vector<std::int16_t>(1024, 1000), after);
    ASSERT_EQ(after.Levels().size(), 1u);
    EXPECT_LT(after.Levels()[0], unconditionedLevel / 4);
}

}  // namespace
}  // namespace orvello
