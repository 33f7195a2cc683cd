#pragma once
// Which model a model directory holds, told from its files rather than from where it lies: the
// log names it so that a user who has put the real model in place can see that it is in use.
#include <cstdint>
#include <string>

namespace orvello {

class ParakeetEngine;

// What a loaded model's files say about it.
struct ModelFacts {
    std::int32_t vocabularyEntries = 0;
    std::uintmax_t encoderBytes = 0;
    bool int8Encoder = false;
    bool int8DecoderJoint = false;
};

// The vocabulary of Parakeet TDT 0.6B v3: its 8,192 multilingual word pieces and the blank.
inline constexpr std::int32_t kParakeetV3VocabularyEntries = 8193;
// The demo model knows a few hundred English words and its encoder is a few megabytes; the real
// model's int8 encoder alone is over 600 MB.
inline constexpr std::int32_t kDemoLargestVocabularyEntries = 1023;
inline constexpr std::uintmax_t kDemoLargestEncoderBytes = 50'000'000;

// "Parakeet TDT 0.6B v3 (int8)" for a vocabulary of 8,193 entries; "the English demo model" for
// a vocabulary of at most 1,023 entries with an encoder file under 50 MB; any other model as
// "an unrecognised model with N vocabulary entries (...)". The part in brackets is "int8",
// "full precision", or which of the two networks is int8 when they differ.
[[nodiscard]] std::string DescribeModel(const ModelFacts& facts);

// The facts of a loaded engine: its vocabulary and the network files it chose.
[[nodiscard]] ModelFacts ModelFactsOf(const ParakeetEngine& engine);

}  // namespace orvello
