#include "engine/transcription_chunks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <utility>

#include "engine/speech_end.h"
#include "engine/vocabulary.h"

namespace orvello {
namespace {

// Window energies are sums of squares in fixed point, units of 2^-32 of full scale squared, so
// that sliding a window adds and removes exactly the same amounts and equally quiet windows
// compare equal. Conditioned samples can exceed full scale a little; anything beyond 4 times
// full scale, and NaN, counts as that loud.
constexpr double kEnergyUnitsPerFullScaleSquared = 4294967296.0;
constexpr float kLoudestCountedSquare = 16.0f;

std::uint64_t EnergyUnits(float sample) {
    float square = sample * sample;
    if (!(square <= kLoudestCountedSquare)) square = kLoudestCountedSquare;
    return static_cast<std::uint64_t>(std::llround(square * kEnergyUnitsPerFullScaleSquared));
}

// Limits that make sense together: every size at least one sample, the window inside the search,
// the search inside a chunk.
ChunkingLimits Sanitized(ChunkingLimits limits) {
    limits.longestChunkSamples = std::max<std::size_t>(limits.longestChunkSamples, 1);
    limits.cutSearchSamples =
        std::clamp<std::size_t>(limits.cutSearchSamples, 1, limits.longestChunkSamples);
    limits.quietWindowSamples =
        std::clamp<std::size_t>(limits.quietWindowSamples, 1, limits.cutSearchSamples);
    return limits;
}

// The start of the quietest window of `windowLength` samples within [searchBegin, searchEnd).
std::size_t QuietestWindowStart(std::span<const float> samples, std::size_t searchBegin,
                                std::size_t searchEnd, std::size_t windowLength) {
    std::uint64_t energy = 0;
    for (std::size_t i = searchBegin; i < searchBegin + windowLength; ++i) {
        energy += EnergyUnits(samples[i]);
    }
    std::size_t quietestStart = searchBegin;
    std::uint64_t quietestEnergy = energy;
    for (std::size_t start = searchBegin + 1; start + windowLength <= searchEnd; ++start) {
        energy += EnergyUnits(samples[start + windowLength - 1]);
        energy -= EnergyUnits(samples[start - 1]);
        if (energy <= quietestEnergy) {  // ties go to the later window
            quietestEnergy = energy;
            quietestStart = start;
        }
    }
    return quietestStart;
}

// Where the chunk that starts at `chunkBegin` ends; the recording continues beyond its longest
// length. Only the samples within the chunk's longest length are looked at.
std::size_t ChunkEnd(std::span<const float> samples, std::size_t chunkBegin,
                     const ChunkingLimits& limits) {
    const std::size_t chunkLimit = chunkBegin + limits.longestChunkSamples;
    const std::size_t windowStart = QuietestWindowStart(
        samples, chunkLimit - limits.cutSearchSamples, chunkLimit, limits.quietWindowSamples);
    return std::max(windowStart + limits.quietWindowSamples / 2, chunkBegin + 1);
}

}  // namespace

std::vector<SampleRange> PlanTranscriptionChunks(std::span<const float> samples,
                                                 const ChunkingLimits& requestedLimits) {
    const ChunkingLimits limits = Sanitized(requestedLimits);
    std::vector<SampleRange> chunks;
    std::size_t begin = 0;
    while (samples.size() - begin > limits.longestChunkSamples) {
        const std::size_t end = ChunkEnd(samples, begin, limits);
        chunks.push_back({begin, end});
        begin = end;
    }
    chunks.push_back({begin, samples.size()});
    return chunks;
}

ChunkCutter::ChunkCutter(const ChunkingLimits& limits) : limits_(Sanitized(limits)) {}

// Takes in no more than completes the next chunk at a time, so that the rest never holds more
// than one chunk and a sample, however much is appended at once.
std::vector<std::vector<float>> ChunkCutter::Append(std::span<const float> samples) {
    std::vector<std::vector<float>> chunks;
    while (!samples.empty()) {
        const std::size_t room = limits_.longestChunkSamples + 1 - rest_.size();
        const std::size_t taken = std::min(room, samples.size());
        rest_.insert(rest_.end(), samples.begin(), samples.begin() + taken);
        samples = samples.subspan(taken);
        if (rest_.size() > limits_.longestChunkSamples) chunks.push_back(CutChunk());
    }
    return chunks;
}

std::vector<float> ChunkCutter::TakeRest() {
    return std::exchange(rest_, {});
}

std::vector<float> ChunkCutter::CutChunk() {
    const auto end = rest_.begin() + static_cast<std::ptrdiff_t>(ChunkEnd(rest_, 0, limits_));
    std::vector<float> chunk(rest_.begin(), end);
    rest_.erase(rest_.begin(), end);
    return chunk;
}

// Joined with a space each, then spaced as one text, so that a chunk beginning with punctuation
// closes up to the chunk before it.
std::string JoinChunkTexts(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) (joined += text) += ' ';
    return NormalizeSpacing(joined);
}

std::string TranscribeInChunks(std::span<const float> samples,
                               const ConditioningSettings& conditioning,
                               const ChunkTranscriber& transcribe) {
    ChunkCutter cutter;
    std::vector<std::vector<float>> chunks = cutter.Append(samples);
    chunks.push_back(cutter.TakeRest());
    std::vector<std::string> texts;
    for (std::vector<float>& chunk : chunks) {
        chunk = TrimAfterSpeech(std::move(chunk), conditioning);
        if (!chunk.empty()) texts.push_back(transcribe(chunk));
        chunk = {};  // freed once transcribed
    }
    return JoinChunkTexts(texts);
}

}  // namespace orvello
