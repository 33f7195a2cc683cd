#pragma once
// Long recordings are transcribed in consecutive chunks, each cut in a pause: the encoder's time
// and memory grow with the square of its input, so one run over many minutes of audio would take
// minutes and gigabytes. Chunks of 25 to 30 s cost the least time per second of audio. Each cut
// depends only on the 30 s after the previous one, so a recording can be cut while it is made and
// its chunks transcribed while the user still speaks.
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "audio/conditioning.h"

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
    std::size_t longestChunkSamples = 480'000;  // 30 s: a recording up to this is one chunk
    std::size_t cutSearchSamples = 80'000;      // the cut lies within the last 5 s of a chunk
    std::size_t quietWindowSamples = 1'600;     // 100 ms
};

// Splits a recording into consecutive chunks that cover every sample exactly once. A recording
// of at most `longestChunkSamples` stays whole. Otherwise every chunk but the last ends in the
// middle of the quietest window (least energy) that lies within the last `cutSearchSamples` of
// `longestChunkSamples`; of equally quiet windows the latest is taken, which keeps chunks long.
[[nodiscard]] std::vector<SampleRange> PlanTranscriptionChunks(std::span<const float> samples,
                                                               const ChunkingLimits& limits = {});

// Cuts a recording into the chunks PlanTranscriptionChunks plans, while the recording is made:
// samples go in as they are captured, and each chunk comes out as soon as the recording has passed
// its end. Holds only the samples after the last cut, at most one chunk and one sample.
class ChunkCutter {
public:
    explicit ChunkCutter(const ChunkingLimits& limits = {});

    // Appends samples; returns the chunks they complete, oldest first (most often none).
    [[nodiscard]] std::vector<std::vector<float>> Append(std::span<const float> samples);
    // The samples after the last cut: the last chunk, empty only when nothing was appended since.
    // The cutter starts afresh afterwards.
    [[nodiscard]] std::vector<float> TakeRest();
    // The samples after the last cut, as they are now: the beginning of the next chunk.
    [[nodiscard]] std::span<const float> Pending() const { return rest_; }

private:
    [[nodiscard]] std::vector<float> CutChunk();

    ChunkingLimits limits_;
    std::vector<float> rest_;
};

// The texts of consecutive chunks as one text: the non-empty ones joined with a space, spaced by
// the rules of the text inside a chunk (no space in front of punctuation, no doubled spaces).
[[nodiscard]] std::string JoinChunkTexts(const std::vector<std::string>& texts);

// Transcribes a whole recording in the chunks a recording of it would be cut into, each up to the
// end of its speech (speech_end.h; `conditioning` is what the samples went through), and joins
// their texts: what the program would type for it. Chunks without speech are not transcribed.
using ChunkTranscriber = std::function<std::string(const std::vector<float>& chunk)>;
[[nodiscard]] std::string TranscribeInChunks(std::span<const float> samples,
                                             const ConditioningSettings& conditioning,
                                             const ChunkTranscriber& transcribe);

}  // namespace orvello
