#include "engine/model_identity.h"

#include <limits>
#include <system_error>

#include "engine/parakeet_engine.h"

namespace orvello {
namespace {

std::string Precision(const ModelFacts& facts) {
    if (facts.int8Encoder && facts.int8DecoderJoint) return "int8";
    if (!facts.int8Encoder && !facts.int8DecoderJoint) return "full precision";
    return facts.int8Encoder ? "int8 encoder, full-precision decoder-joint"
                             : "full-precision encoder, int8 decoder-joint";
}

bool IsInt8File(const fs::path& file) {
    return file.filename().string().ends_with(".int8.onnx");
}

}  // namespace

std::string DescribeModel(const ModelFacts& facts) {
    if (facts.vocabularyEntries == kParakeetV3VocabularyEntries)
        return "Parakeet TDT 0.6B v3 (" + Precision(facts) + ")";
    if (facts.vocabularyEntries <= kDemoLargestVocabularyEntries &&
        facts.encoderBytes < kDemoLargestEncoderBytes)
        return "the English demo model";
    return "an unrecognised model with " + std::to_string(facts.vocabularyEntries) +
           " vocabulary entries (" + Precision(facts) + ")";
}

ModelFacts ModelFactsOf(const ParakeetEngine& engine) {
    std::error_code error;
    const std::uintmax_t encoderBytes = fs::file_size(engine.encoderFile(), error);
    return ModelFacts{
        .vocabularyEntries = engine.vocabSize(),
        // A size that cannot be read counts as large: only a small file can make the demo.
        .encoderBytes = error ? std::numeric_limits<std::uintmax_t>::max() : encoderBytes,
        .int8Encoder = IsInt8File(engine.encoderFile()),
        .int8DecoderJoint = IsInt8File(engine.decoderJointFile()),
    };
}

}  // namespace orvello
