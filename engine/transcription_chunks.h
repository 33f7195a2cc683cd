#pragma once
// Long recordings are transcribed in consecutive chunks, each cut in a pause: the encoder's time
// and memory grow with the square of its input, so one run over many minutes of audio would take
// minutes and gigabytes. Chunks of 25 to 30 s cost the least time per second of audio.
#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace orvello {

// Samples [begin, end) of a recording.
struct SampleRange {
    std::size_t begin = 0;
    std::size_t end = 0;

    [[nodiscard]] std::size_t size() const { return end - begin; }
    friend bool operator==(const SampleRange&, const SampleRange&) = default;
};

// Sizes in samples at 16 kHz.
struct ChunkingLimits {
    std::size_t longestWholeSamples = 960'000;  // 60 s: a recording up to this is one chunk
    std::size_t longestChunkSamples = 480'000;  // 30 s
    std::size_t cutSearchSamples = 80'000;      // the cut lies within the last 5 s of a chunk
    std::size_t quietWindowSamples = 1'600;     // 100 ms
};

// Splits a recording into consecutive chunks that cover every sample exactly once. A recording
// of at most `longestWholeSamples` stays whole. Otherwise every chunk but the last ends in the
// middle of the quietest window (least energy) that lies within the last `cutSearchSamples` of
// `longestChunkSamples`; of equally quiet windows the latest is taken, which keeps chunks long.
[[nodiscard]] std::vector<SampleRange> PlanTranscriptionChunks(std::span<const float> samples,
                                                               const ChunkingLimits& limits = {});

// The texts of consecutive chunks as one text: the non-empty ones joined with one space.
[[nodiscard]] std::string JoinChunkTexts(const std::vector<std::string>& texts);

}  // namespace orvello
