// Greedy token-and-duration decoding on the scripted model: each test
// dictates the decoder's choice per frame, previous token and token count.
#include <gtest/gtest.h>

#include <memory>

#include "engine/engine_error.h"
#include "engine/parakeet_engine.h"
#include "engine/transcription_stop.h"
#include "tests/engine/engine_test_support.h"

namespace orvello {
namespace {

using test::CopyModel;
using test::ScratchFolder;
using test::TestModel;
using test::WriteFile;
using W = test::ScriptedWaveform;

class ScriptedDecoding : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        engine = std::make_unique<ParakeetEngine>(TestModel("scripted"));
    }
    static void TearDownTestSuite() { engine.reset(); }
    static std::string Decode(const W& waveform, TranscribeTimings* timings = nullptr) {
        return engine->Transcribe(waveform.samples(), timings);
    }
    static inline std::unique_ptr<ParakeetEngine> engine;
};

TEST_F(ScriptedDecoding, TokensAtOneFrameFollowThePreviousTokenAndTheStates) {
    W w(2);
    w.At(0, 0, W::kBlank, W::kHello, 0)  // first step: previous token blank, zero states
        .At(0, 1, W::kHello, W::kWorld, 1)
        .At(1, 2, W::kWorld, W::kBang, 1);
    TranscribeTimings timings;
    EXPECT_EQ(Decode(w, &timings), "hello world!");
    EXPECT_EQ(timings.decoderJointRuns, 3);
}

TEST_F(ScriptedDecoding, ABlankKeepsTheStatesAndItsDurationSkipsFrames) {
    W w(3);
    w.At(0, 0, W::kBlank, W::kBlank, 2)
        .Always(1, W::kWorld, 1)             // skipped by the blank's duration
        .At(2, 0, W::kBlank, W::kHello, 1);  // count still 0 after the blank
    TranscribeTimings timings;
    EXPECT_EQ(Decode(w, &timings), "hello");
    EXPECT_EQ(timings.decoderJointRuns, 2);
}

TEST_F(ScriptedDecoding, ABlankWithoutDurationMovesOneFrame) {
    W w(3);
    w.At(1, 0, W::kBlank, W::kCa, 0).At(1, 1, W::kCa, W::kBang, 0);
    EXPECT_EQ(Decode(w),
              "\xC3\xA7"
              "a!");  // "ça!"
}

// Every run of a transcription gets the stop's run options: a requested stop fails the next one.
TEST_F(ScriptedDecoding, ARequestedStopFailsTheTranscriptionUntilItIsReset) {
    W w(1);
    w.At(0, 0, W::kBlank, W::kHello, 1);
    TranscriptionStop stop;
    stop.Request();
    EXPECT_THROW((void)engine->Transcribe(w.samples(), nullptr, stop.RunOptions()), EngineError);
    stop.Reset();
    EXPECT_EQ(engine->Transcribe(w.samples(), nullptr, stop.RunOptions()), "hello");
}

TEST_F(ScriptedDecoding, DurationsPastTheEndStopDecoding) {
    W w(4);
    w.At(0, 0, W::kBlank, W::kHello, 1)
        .At(1, 1, W::kHello, W::kWorld, 3)  // frame 1 + 3 = 4: the end
        .Always(2, W::kBang, 1)
        .Always(3, W::kBang, 1);
    EXPECT_EQ(Decode(w), "hello world");
    W jump(4);
    jump.At(2, 0, W::kBlank, W::kHello, 3).Always(3, W::kBang, 1);  // frame 2 + 3 > F
    EXPECT_EQ(Decode(jump), "hello");
}

TEST_F(ScriptedDecoding, EncodedLengthsShorterThanTheFramesEndDecodingEarly) {
    W w(3);
    w.Always(0, W::kHello, 1).Always(1, W::kWorld, 1).Always(2, W::kBang, 1).ReportLength(2);
    EXPECT_EQ(Decode(w), "hello world");
    w.ReportLength(7);  // longer than T: T counts
    EXPECT_EQ(Decode(w), "hello world!");
}

TEST_F(ScriptedDecoding, NoFramesGiveNoTextWithoutRunningTheDecoder) {
    TranscribeTimings timings;
    EXPECT_EQ(Decode(W(0), &timings), "");
    EXPECT_EQ(timings.decoderJointRuns, 0);
    W w(2);
    w.Always(0, W::kHello, 1).ReportLength(0);
    EXPECT_EQ(Decode(w, &timings), "");
    EXPECT_EQ(timings.decoderJointRuns, 0);
    w.ReportLength(-5);
    EXPECT_EQ(Decode(w), "");
}

TEST_F(ScriptedDecoding, AtMostMaxTokensPerStepAtOneFrame) {
    W w(2);
    w.Always(0, W::kS, 0).At(0, 0, W::kBlank, W::kHello, 0);  // then "s" forever at frame 0
    // hello + 9 × s reach the limit of 10 at frame 0; frame 1 then gives nothing
    // new, as its zero scores mean blank.
    EXPECT_EQ(Decode(w), "hellosssssssss");
}

TEST_F(ScriptedDecoding, AFailedCallLeavesTheEngineUsable) {
    // No samples at all: the scripted encoder reports no encoded length.
    EXPECT_THROW(engine->Transcribe({}), EngineError);
    W w(1);
    w.Always(0, W::kWorld, 1);
    EXPECT_EQ(Decode(w), "world");
}

// The same waveform through engines whose models or settings differ.
std::string DecodeWith(const fs::path& model, const W& waveform) {
    ParakeetEngine engine(model);
    return engine.Transcribe(waveform.samples());
}

fs::path ScriptedWithMaxTokens(const ScratchFolder& folder, const std::string& value) {
    CopyModel(TestModel("scripted"), folder.path());
    WriteFile(folder.path() / "config.json", R"({"max_tokens_per_step": )" + value + "}");
    return folder.path();
}

TEST(DecodingSettings, MaxTokensPerStepFromTheConfiguration) {
    W w(2);
    w.Always(0, W::kS, 0).At(0, 0, W::kBlank, W::kHello, 0).Always(1, W::kBlank, 0);
    ScratchFolder four, zero, negative;
    EXPECT_EQ(DecodeWith(ScriptedWithMaxTokens(four, "4"), w), "hellosss");
    // With 0 or less every token ends its frame.
    w.At(1, 1, W::kHello, W::kWorld, 1);
    EXPECT_EQ(DecodeWith(ScriptedWithMaxTokens(zero, "0"), w), "hello world");
    EXPECT_EQ(DecodeWith(ScriptedWithMaxTokens(negative, "-2"), w), "hello world");
}

TEST(DecodingSettings, ASingleDurationScoreNeverSkipsFrames) {
    W w(3);
    w.At(0, 0, W::kBlank, W::kHello, 2).At(1, 1, W::kHello, W::kWorld, 1);
    EXPECT_EQ(DecodeWith(TestModel("scripted"), w), "hello");
    // Duration scores beyond the first are absent: duration 0 each time, so
    // the decoder stays on frame 0 (blank there), then visits frame 1.
    EXPECT_EQ(DecodeWith(TestModel("one-duration"), w), "hello world");
}

TEST(DecodingErrors, UnexpectedNetworkOutputsAreReported) {
    W w(1);
    w.Always(0, W::kHello, 1);
    auto errorOf = [&](const char* model) {
        ParakeetEngine engine(TestModel(model));
        try {
            engine.Transcribe(w.samples());
        } catch (const EngineError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(errorOf("short-scores"), "Unexpected Parakeet decoder output size.");
    EXPECT_EQ(errorOf("encoder-rank2"), "Unexpected Parakeet encoder outputs.");
    EXPECT_EQ(errorOf("encoder-empty-lengths"), "Unexpected Parakeet encoder outputs.");
    EXPECT_EQ(errorOf("encoder-empty-batch"), "Unexpected Parakeet encoder outputs.");
}

}  // namespace
}  // namespace orvello
