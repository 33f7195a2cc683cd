// A three-minute recording through the recognition service: transcribed as chunks cut in its
// pauses, with not a sample lost or repeated at the cuts.
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
    void SetUp() override {
        std::size_t start = 0;
        for (const Segment& segment : ThreeMinutes()) {
            const std::vector<std::int16_t> samples = SegmentSamples(segment);
            pcm.insert(pcm.end(), samples.begin(), samples.end());
            segmentRanges.push_back({start, pcm.size()});
            start = pcm.size();
            expectedText += (expectedText.empty() ? "" : " ") + segment.text;
        }
        for (const std::int16_t sample : pcm)
            floats.push_back(static_cast<float>(sample) / 32768.0f);
    }

    std::vector<std::int16_t> pcm;
    std::vector<float> floats;
    std::vector<SampleRange> segmentRanges;
    std::string expectedText;
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

TEST_F(LongRecording, IsTranscribedChunkByChunkIntoOneText) {
    test::DeviceShelf shelf;
    RecognitionService service(RecognitionConfig{.modelDirectory = test::TestModel("scripted-pcm"),
                                                 .conditioning = {.enabled = false}},
                               shelf.Factory());
    ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
    test::ScriptPlayback(device, pcm);
    CallbackLog log;
    service.StartRecording(3, log.Callbacks());
    device.WaitUntilBlocked();
    service.StopRecording();
    ASSERT_TRUE(log.WaitFor("finished"));

    EXPECT_EQ(log.Texts(), std::vector<std::string>{expectedText});
    std::vector<std::string> lines = log.LinesWithoutLevels();
    std::erase(lines, "level 0");  // the last buffer holds only the silence after the last segment
    EXPECT_EQ(lines, (std::vector<std::string>{"status [Recording...]", "capture ended",
                                               "status [Transcribing...]", "text " + expectedText,
                                               "status [Ready]", "finished"}));
}

}  // namespace
}  // namespace orvello
