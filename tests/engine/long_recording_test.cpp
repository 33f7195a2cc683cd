// Long recordings through the recognition service: cut in their pauses, with not a sample lost or
// repeated at the cuts, each chunk handed to the worker while the trigger is still held, and
// delivered as one text with the callbacks of any recording, also when the worker only gets to
// the chunks after the release; a cancel or a capture error during the hold delivers no text.
//
// The recording is made of seven segments. Each begins with a scripted-model waveform of one
// frame: its header sample is the length 1, so the model decodes only that frame, which says the
// segment's words. The waveform is nearly silent (marks of 64), and so are the 800 samples before
// and after the segment's start; everything else is loud. A 100 ms window centred on a segment
// start is therefore the quietest window around it, and each segment is as long as a chunk may
// be when its cut is searched in the last 5 s of 30 s. A chunk that started one sample late would
// read its header from the frame, one sample early from the silence before it, and either way
// would not say its words.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "engine/parakeet_engine.h"
#include "engine/recognition_service.h"
#include "engine/transcription_chunks.h"
#include "tests/engine/service_test_support.h"

namespace orvello {
namespace {

using test::CallbackLog;
using W = test::ScriptedWaveform;

constexpr std::size_t kSamplesPerSecond = 16'000;
constexpr std::size_t kHalfQuietWindow = 800;
constexpr std::int16_t kQuietMark = 64;
constexpr std::int16_t kLoud = 6'000;

struct Segment {
    double seconds;
    W words;
    std::string text;
};

W Words(W::Token first, W::Token second = W::kBlank) {
    W waveform(1);
    if (second == W::kBlank) return waveform.At(0, 0, W::kBlank, first, 1);
    return waveform.At(0, 0, W::kBlank, first, 0).At(0, 1, first, second, 1);
}

std::vector<Segment> ThreeMinutes() {
    return {
        {26.0, Words(W::kHello), "hello"},
        {27.5, Words(W::kWorld), "world"},
        {29.0, Words(W::kHello, W::kWorld), "hello world"},
        {25.5, Words(W::kCa, W::kBang), "\xC3\xA7\x61!"},  // "ça!"
        {28.0, Words(W::kWorld, W::kS), "worlds"},
        {26.5, Words(W::kHello, W::kBang), "hello!"},
        {17.5, Words(W::kWorld, W::kHello), "world hello"},
    };
}

std::vector<std::int16_t> SegmentSamples(const Segment& segment) {
    const auto length = static_cast<std::size_t>(segment.seconds * kSamplesPerSecond);
    std::vector<std::int16_t> samples = test::ScriptedPcm(segment.words, kQuietMark);
    samples.resize(kHalfQuietWindow, 0);
    for (std::size_t i = kHalfQuietWindow; i < length - kHalfQuietWindow; ++i) {
        samples.push_back(i % 2 == 0 ? kLoud : -kLoud);
    }
    samples.resize(length, 0);
    return samples;
}

class LongRecording : public ::testing::Test {
protected:
    void SetUp() override { Compose(ThreeMinutes()); }

    void Compose(const std::vector<Segment>& segments) {
        pcm.clear();
        floats.clear();
        segmentRanges.clear();
        expectedText.clear();
        for (const Segment& segment : segments) {
            const std::vector<std::int16_t> samples = SegmentSamples(segment);
            segmentRanges.push_back({pcm.size(), pcm.size() + samples.size()});
            pcm.insert(pcm.end(), samples.begin(), samples.end());
            expectedText += (expectedText.empty() ? "" : " ") + segment.text;
        }
        for (const std::int16_t sample : pcm)
            floats.push_back(static_cast<float>(sample) / 32768.0f);
    }

    // The first three segments: two chunks handed over during the hold, one left at the release.
    void ComposeEightySeconds() {
        const std::vector<Segment> segments = ThreeMinutes();
        Compose({segments.begin(), segments.begin() + 3});
    }

    RecognitionService& Service() {
        if (!service) {
            service = std::make_unique<RecognitionService>(
                RecognitionConfig{.modelDirectory = test::TestModel("scripted-pcm"),
                                  .conditioning = {.enabled = false}},
                shelf.Factory());
        }
        return *service;
    }

    // A short recording whose last callback holds the worker, so that the chunks handed over
    // after it stay queued.
    void HoldTheWorker(test::WorkerHold& hold, CallbackLog& log) {
        ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
        test::ScriptPlayback(device, test::ScriptedPcm(test::HelloWorldBang()));
        Service().StartRecording(3, hold.Callbacks(log, "finished"));
        device.WaitUntilBlocked();
        Service().StopRecording();
        ASSERT_TRUE(log.WaitFor("finished"));
    }

    // Starts the long recording; returns once all of it has been captured and the trigger is
    // still held.
    void RecordAndHold(CallbackLog& log) {
        ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
        test::ScriptPlayback(device, pcm);
        Service().StartRecording(3, log.Callbacks());
        device.WaitUntilBlocked();
    }

    void ExpectTheNextRecordingToWork() {
        CallbackLog log;
        ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
        test::ScriptPlayback(device, test::ScriptedPcm(test::HelloWorldBang()));
        Service().StartRecording(3, log.Callbacks());
        device.WaitUntilBlocked();
        Service().StopRecording();
        ASSERT_TRUE(log.WaitFor("finished"));
        EXPECT_EQ(log.Texts(), std::vector<std::string>{"hello world!"});
    }

    // The callbacks without the levels: the last buffer may hold only the silence at the end.
    static std::vector<std::string> LinesWithoutLevels(const CallbackLog& log) {
        std::vector<std::string> lines = log.LinesWithoutLevels();
        std::erase(lines, "level 0");
        return lines;
    }

    std::vector<std::int16_t> pcm;
    std::vector<float> floats;
    std::vector<SampleRange> segmentRanges;
    std::string expectedText;
    test::DeviceShelf shelf;
    std::unique_ptr<RecognitionService> service;
};

TEST_F(LongRecording, IsCutExactlyAtTheSegmentStartsAndACutOneSampleOffWouldShow) {
    ASSERT_EQ(pcm.size(), 180 * kSamplesPerSecond);
    EXPECT_EQ(PlanTranscriptionChunks(floats), segmentRanges);

    ParakeetEngine engine(test::TestModel("scripted-pcm"));
    const SampleRange second = segmentRanges[1];
    const auto transcribe = [&](std::size_t begin, std::size_t end) {
        return engine.Transcribe(
            std::vector<float>(floats.begin() + static_cast<std::ptrdiff_t>(begin),
                               floats.begin() + static_cast<std::ptrdiff_t>(end)));
    };
    EXPECT_EQ(transcribe(second.begin, second.end), "world");
    EXPECT_NE(transcribe(second.begin + 1, second.end), "world");
    EXPECT_NE(transcribe(second.begin - 1, second.end), "world");
}

// Every chunk but the last is queued while the trigger is held. Whether the worker transcribes
// them during the hold or only after the release, the user gets the same.
TEST_F(LongRecording, GivesTheSameTextAndCallbacksWhetherTranscribedWhileHeldOrAfterTheRelease) {
    for (const bool transcribedWhileHeld : {true, false}) {
        SCOPED_TRACE(transcribedWhileHeld ? "while held" : "after the release");
        test::WorkerHold hold;
        CallbackLog held;
        HoldTheWorker(hold, held);
        CallbackLog log;
        RecordAndHold(log);
        EXPECT_EQ(Service().QueuedJobs(), segmentRanges.size() - 1);

        if (transcribedWhileHeld) {
            hold.Release();
            EXPECT_TRUE(test::Eventually([&] { return Service().QueuedJobs() == 0; }));
            EXPECT_TRUE(Service().IsRecording());
        }
        Service().StopRecording();
        hold.Release();
        ASSERT_TRUE(log.WaitFor("finished"));

        EXPECT_EQ(log.Texts(), std::vector<std::string>{expectedText});
        EXPECT_EQ(LinesWithoutLevels(log),
                  (std::vector<std::string>{"status [Recording...]", "capture ended",
                                            "status [Transcribing...]", "text " + expectedText,
                                            "status [Ready]", "finished"}));
        EXPECT_TRUE(test::Eventually([&] { return !Service().IsBusy(); }));
    }
}

// With the worker held, the handed-over chunks are still queued at the cancel; with it free, it
// is transcribing the last of them.
TEST_F(LongRecording, ACancelDuringTheHoldDeliversNothingAndLeavesTheServiceReady) {
    ComposeEightySeconds();
    for (const bool workerHeld : {true, false}) {
        SCOPED_TRACE(workerHeld ? "chunks queued" : "a chunk being transcribed");
        test::WorkerHold hold;
        CallbackLog held;
        if (workerHeld) HoldTheWorker(hold, held);
        CallbackLog log;
        RecordAndHold(log);
        if (workerHeld) EXPECT_EQ(Service().QueuedJobs(), 2u);
        EXPECT_TRUE(test::Eventually([&] { return workerHeld || Service().QueuedJobs() == 0; }));

        Service().Cancel();
        EXPECT_EQ(Service().QueuedJobs(), 0u);
        hold.Release();

        EXPECT_TRUE(test::Eventually([&] { return !Service().IsBusy(); }));
        EXPECT_EQ(LinesWithoutLevels(log),
                  (std::vector<std::string>{"status [Recording...]", "capture ended",
                                            "status [Cancelled]", "finished"}));
        ExpectTheNextRecordingToWork();
    }
}

// The error ends the recording as it does today, and the chunks already handed over are taken
// back. A failure without a message is still a failure.
TEST_F(LongRecording, ACaptureErrorAfterChunksWereHandedOverDeliversTheErrorAndNoText) {
    ComposeEightySeconds();
    for (const std::string message : {"The device broke.", ""}) {
        test::WorkerHold hold;
        CallbackLog held;
        HoldTheWorker(hold, held);
        ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
        test::ScriptBuffers(device, pcm);
        device.Script({.duringWait = [message] { throw std::runtime_error(message); }});
        CallbackLog log;
        Service().StartRecording(3, log.Callbacks());
        ASSERT_TRUE(log.WaitFor("finished"));
        EXPECT_EQ(Service().QueuedJobs(), 0u);
        hold.Release();

        EXPECT_TRUE(test::Eventually([&] { return !Service().IsBusy(); }));
        EXPECT_EQ(LinesWithoutLevels(log),
                  (std::vector<std::string>{"status [Recording...]", "capture ended",
                                            "status Error: " + message, "finished"}));
    }
    ExpectTheNextRecordingToWork();
}

}  // namespace
}  // namespace orvello
