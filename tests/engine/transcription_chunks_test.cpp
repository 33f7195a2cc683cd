// Planning the chunks of a long recording: every sample in exactly one chunk, each cut in the
// middle of the quietest window near the chunk's longest length, the same whether the recording
// is cut as a whole or while it is made; and the chunks' texts joined into one.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/transcription_chunks.h"

namespace orvello {
namespace {

// Small limits that keep the signals readable: chunks up to 50 samples, the cut within the last
// 20, windows of 4.
constexpr ChunkingLimits kSmall{
    .longestChunkSamples = 50, .cutSearchSamples = 20, .quietWindowSamples = 4};

std::vector<float> Loud(std::size_t count) {
    std::vector<float> samples(count);
    for (std::size_t i = 0; i < count; ++i) samples[i] = (i % 2 == 0) ? 0.5f : -0.5f;
    return samples;
}

// Quietens [begin, begin + length) to `amplitude`.
void Quieten(std::vector<float>& samples, std::size_t begin, std::size_t length,
             float amplitude = 0.0f) {
    for (std::size_t i = begin; i < begin + length; ++i) samples[i] = amplitude;
}

void ExpectContiguousCover(const std::vector<SampleRange>& chunks, std::size_t sampleCount) {
    ASSERT_FALSE(chunks.empty());
    EXPECT_EQ(chunks.front().begin, 0u);
    EXPECT_EQ(chunks.back().end, sampleCount);
    for (std::size_t i = 0; i + 1 < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].end, chunks[i + 1].begin)
            << "a sample is lost or repeated at cut " << i;
        EXPECT_GT(chunks[i].size(), 0u);
    }
}

TEST(TranscriptionChunks, ARecordingUpToOneChunkStaysOnePiece) {
    EXPECT_EQ(PlanTranscriptionChunks(Loud(50), kSmall), (std::vector<SampleRange>{{0, 50}}));
    EXPECT_EQ(PlanTranscriptionChunks({}, kSmall), (std::vector<SampleRange>{{0, 0}}));
    EXPECT_EQ(PlanTranscriptionChunks(Loud(51), kSmall).size(), 2u);
}

// Fed in pieces, as a capture delivers its buffers, the cutter hands out each chunk once the
// recording has passed the chunk's longest length, and the chunks are those of the whole recording.
TEST(TranscriptionChunks, CuttingWhileRecordingGivesTheChunksOfTheWholeRecording) {
    std::vector<float> samples = Loud(300);
    Quieten(samples, 36, 4);
    Quieten(samples, 70, 30, 0.01f);
    Quieten(samples, 150, 40);
    const std::vector<SampleRange> planned = PlanTranscriptionChunks(samples, kSmall);
    ASSERT_GT(planned.size(), 5u);
    for (const std::size_t pieceSize : {std::size_t{1}, std::size_t{7}, samples.size()}) {
        ChunkCutter cutter(kSmall);
        std::vector<std::vector<float>> chunks;
        std::vector<std::size_t> handedOutAfter;  // samples fed when each chunk came out
        for (std::size_t begin = 0; begin < samples.size(); begin += pieceSize) {
            const std::size_t end = std::min(begin + pieceSize, samples.size());
            for (std::vector<float>& chunk :
                 cutter.Append(std::span(samples).subspan(begin, end - begin))) {
                chunks.push_back(std::move(chunk));
                handedOutAfter.push_back(end);
            }
        }
        chunks.push_back(cutter.TakeRest());
        ASSERT_EQ(chunks.size(), planned.size()) << "pieces of " << pieceSize;
        for (std::size_t i = 0; i < planned.size(); ++i) {
            EXPECT_EQ(chunks[i], std::vector<float>(samples.begin() + planned[i].begin,
                                                    samples.begin() + planned[i].end));
            if (pieceSize == 1 && i + 1 < planned.size()) {
                EXPECT_EQ(handedOutAfter[i], planned[i].begin + 51) << "chunk " << i;
            }
        }
    }
}

TEST(TranscriptionChunks, TheCutFallsInTheMiddleOfTheQuietestWindow) {
    std::vector<float> samples = Loud(120);
    Quieten(samples, 36, 4);         // inside chunk 1's search region [30, 50)
    Quieten(samples, 78, 4, 0.01f);  // inside chunk 2's search region [68, 88)
    EXPECT_EQ(PlanTranscriptionChunks(samples, kSmall),
              (std::vector<SampleRange>{{0, 38}, {38, 80}, {80, 120}}));
}

TEST(TranscriptionChunks, QuietnessOutsideTheSearchRegionIsIgnored) {
    std::vector<float> samples = Loud(120);
    Quieten(samples, 10, 10);  // too early: a chunk would be short
    Quieten(samples, 44, 4, 0.2f);
    Quieten(samples, 49, 4);  // straddles the longest chunk length
    const std::vector<SampleRange> chunks = PlanTranscriptionChunks(samples, kSmall);
    ASSERT_GE(chunks.size(), 2u);
    EXPECT_EQ(chunks[0], (SampleRange{0, 46}));
}

TEST(TranscriptionChunks, OfEquallyQuietWindowsTheLatestIsTaken) {
    std::vector<float> samples = Loud(120);
    Quieten(samples, 30, 20);  // the whole search region of the first chunk is silent
    const std::vector<SampleRange> chunks = PlanTranscriptionChunks(samples, kSmall);
    EXPECT_EQ(chunks[0], (SampleRange{0, 48}));  // window [46, 50)
}

TEST(TranscriptionChunks, AnEvenlyLoudRecordingIsCutWithinTheSearchRegions) {
    const std::vector<float> samples = Loud(1000);
    const std::vector<SampleRange> chunks = PlanTranscriptionChunks(samples, kSmall);
    ExpectContiguousCover(chunks, samples.size());
    for (std::size_t i = 0; i + 1 < chunks.size(); ++i) {
        EXPECT_GE(chunks[i].size(), 32u);  // 50 - 20 + half a window
        EXPECT_LE(chunks[i].size(), 48u);  // 50 - half a window
    }
    EXPECT_LE(chunks.back().size(), 50u);
}

TEST(TranscriptionChunks, NotANumberCountsAsLoud) {
    std::vector<float> samples = Loud(120);
    Quieten(samples, 32, 4, std::nanf(""));
    Quieten(samples, 40, 4, 0.1f);
    EXPECT_EQ(PlanTranscriptionChunks(samples, kSmall)[0], (SampleRange{0, 42}));
}

// Ten minutes at the real limits: chunks of 25 to 30 s that cover the recording exactly.
TEST(TranscriptionChunks, TenMinutesOfSpeechLikeAudioBecomeChunksOfTwentyFiveToThirtySeconds) {
    constexpr std::size_t kSamples = 10 * 60 * 16'000;
    std::vector<float> samples(kSamples);
    std::uint32_t noise = 12345;
    for (std::size_t i = 0; i < kSamples; ++i) {
        noise = noise * 1'664'525u + 1'013'904'223u;  // a small linear congruential generator
        const float syllable = std::fabs(std::sin(static_cast<float>(i) * 3.0e-4f));
        samples[i] = syllable * (static_cast<float>(noise >> 8) / 16'777'216.0f - 0.5f);
    }
    const std::vector<SampleRange> chunks = PlanTranscriptionChunks(samples);
    ExpectContiguousCover(chunks, kSamples);
    for (std::size_t i = 0; i + 1 < chunks.size(); ++i) {
        EXPECT_GE(chunks[i].size(), 400'800u);
        EXPECT_LE(chunks[i].size(), 479'200u);
    }
    EXPECT_LE(chunks.back().size(), 480'000u);
}

TEST(TranscriptionChunks, LimitsThatDoNotFitTogetherStillCoverEverySample) {
    const ChunkingLimits odd{
        .longestChunkSamples = 3, .cutSearchSamples = 10, .quietWindowSamples = 1};
    const std::vector<SampleRange> chunks = PlanTranscriptionChunks(Loud(17), odd);
    ExpectContiguousCover(chunks, 17);
    for (const SampleRange& chunk : chunks) EXPECT_LE(chunk.size(), 3u);
}

TEST(TranscriptionChunks, ChunkTextsAreJoinedAsOneText) {
    const struct {
        std::vector<std::string> texts;
        std::string joined;
    } cases[] = {
        {{"hello world", "", "again.", ""}, "hello world again."},
        {{"hello", "! Yes", ", and", "? no"}, "hello! Yes, and? no"},
        {{"", ""}, ""},
        {{}, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(JoinChunkTexts(c.texts), c.joined);
}

}  // namespace
}  // namespace orvello
