#include "engine/parakeet_engine.h"

#include <algorithm>

#include "engine/model_config.h"
#include "engine/ort_tensors.h"
#include "engine/vocabulary.h"

namespace orvello {
namespace {

constexpr const char* kEncoderOutputsMessage = "Unexpected Parakeet encoder outputs.";
constexpr const char* kDecoderOutputMessage = "Unexpected Parakeet decoder output size.";
constexpr const char* kDecoderStateMessage = "Unexpected Parakeet decoder state shape.";

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Position of the largest score in [first, last); the lowest position wins ties.
size_t ArgMax(const float* first, const float* last) {
    return size_t(std::max_element(first, last) - first);
}

}  // namespace

struct ParakeetEngine::EncoderOutput {
    std::vector<float> features;  // feature-major: feature d of frame t at d * frames + t
    int64_t featureSize = 0;      // D
    int64_t frames = 0;           // T
    int64_t framesToDecode = 0;   // F = min(T, encoded_lengths[0])
};

ParakeetEngine::ParakeetEngine(fs::path modelDirectory)
    : modelDirectory_(std::move(modelDirectory)) {
    const OrtApi& api = Ort();
    environment_ = CreateOrtEnvironment("parakeet_engine");
    OrtMemoryInfo* memory = nullptr;
    ThrowIfFailed(api.CreateCpuMemoryInfo(OrtArenaAllocator, OrtMemTypeDefault, &memory));
    cpuMemory_.reset(memory);

    if (modelDirectory_.empty()) throw EngineError("Parakeet model directory is empty.");
    LoadConfig();
    LoadVocabulary();
    CreateSessions();
}

void ParakeetEngine::LoadConfig() {
    const int32_t configured = ParseMaxTokensPerStep(ReadFileBytes(modelDirectory_ / "config.json"));
    maxTokensPerStep_ = std::min(configured, kLargestMaxTokensPerStep);
    if (maxTokensPerStep_ != configured)
        loadNote_ = "max_tokens_per_step " + std::to_string(configured) +
                    " in config.json is too large; using " + std::to_string(maxTokensPerStep_) +
                    ".";
}

void ParakeetEngine::LoadVocabulary() {
    Vocabulary vocabulary = ParseVocabulary(ReadFileBytes(modelDirectory_ / "vocab.txt"));
    vocabulary_ = std::move(vocabulary.pieces);
    vocabSize_ = int32_t(vocabulary_.size());
    blankId_ = vocabulary.blankId;
}

OrtSessionPtr ParakeetEngine::CreateSession(const fs::path& modelFile,
                                            const OrtSessionOptions* options) const {
    OrtSession* session = nullptr;
    ThrowIfFailed(Ort().CreateSession(environment_.get(), modelFile.c_str(), options, &session));
    return OrtSessionPtr(session);
}

void ParakeetEngine::CreateSessions() {
    const OrtApi& api = Ort();
    OrtSessionOptions* rawOptions = nullptr;
    ThrowIfFailed(api.CreateSessionOptions(&rawOptions));
    const OrtSessionOptionsPtr options(rawOptions);
    ThrowIfFailed(api.SetSessionGraphOptimizationLevel(options.get(), ORT_ENABLE_EXTENDED));
    ThrowIfFailed(api.SetIntraOpNumThreads(options.get(), 0));  // the runtime chooses

    preprocessor_ = CreateSession(FindModelFile(modelDirectory_, "preprocessor", {"nemo128.onnx"}),
                                  options.get());
    encoder_ = CreateSession(FindModelFile(modelDirectory_, "encoder",
                                           {"encoder-model.int8.onnx", "encoder-model.onnx"}),
                             options.get());
    decoderJoint_ =
        CreateSession(FindModelFile(modelDirectory_, "decoder_joint",
                                    {"decoder_joint-model.int8.onnx", "decoder_joint-model.onnx"}),
                      options.get());
    ReadDecoderStateShape();
}

// The decoder state is [layers, batch, hidden]; the batch may be symbolic.
void ParakeetEngine::ReadDecoderStateShape() {
    const OrtApi& api = Ort();
    OrtTypeInfo* rawTypeInfo = nullptr;
    ThrowIfFailed(api.SessionGetInputTypeInfo(decoderJoint_.get(), 3, &rawTypeInfo));
    const OrtTypeInfoPtr typeInfo(rawTypeInfo);
    const OrtTensorTypeAndShapeInfo* tensorInfo = nullptr;  // owned by typeInfo
    ThrowIfFailed(api.CastTypeInfoToTensorInfo(typeInfo.get(), &tensorInfo));
    size_t rank = 0;
    if (tensorInfo) ThrowIfFailed(api.GetDimensionsCount(tensorInfo, &rank));
    if (rank != 3) throw EngineError(kDecoderStateMessage);
    int64_t dims[3] = {};
    ThrowIfFailed(api.GetDimensions(tensorInfo, dims, 3));
    if (dims[0] <= 0 || dims[2] <= 0) throw EngineError(kDecoderStateMessage);
    stateLayers_ = dims[0];
    stateHidden_ = dims[2];
}

ParakeetEngine::EncoderOutput ParakeetEngine::Encode(std::vector<float>& samples,
                                                     TranscribeTimings& timings) const {
    int64_t sampleCount = int64_t(samples.size());
    auto start = std::chrono::steady_clock::now();
    const OrtValuePtr waveforms =
        WrapTensor(cpuMemory_.get(), samples.data(), samples.size(), {1, sampleCount});
    const OrtValuePtr waveformsLens = WrapTensor(cpuMemory_.get(), &sampleCount, 1, {1});
    auto features =
        RunSession<2, 2>(preprocessor_.get(), {"waveforms", "waveforms_lens"},
                         {waveforms.get(), waveformsLens.get()}, {"features", "features_lens"},
                         timings.insideRunSeconds, runOptions_);
    timings.preprocessorSeconds += SecondsSince(start);

    start = std::chrono::steady_clock::now();
    auto encoded = RunSession<2, 2>(
        encoder_.get(), {"audio_signal", "length"}, {features[0].get(), features[1].get()},
        {"outputs", "encoded_lengths"}, timings.insideRunSeconds, runOptions_);
    TensorCopy<float> outputs = CopyTensor<float>(encoded[0].get(), kEncoderOutputsMessage);
    const TensorCopy<int64_t> lengths =
        CopyTensor<int64_t>(encoded[1].get(), kEncoderOutputsMessage);
    timings.encoderSeconds += SecondsSince(start);
    // The frames are read from the first batch item, so there has to be one.
    if (outputs.dims.size() != 3 || outputs.dims[0] < 1 || lengths.values.empty())
        throw EngineError(kEncoderOutputsMessage);

    EncoderOutput result;
    result.featureSize = outputs.dims[1];
    result.frames = outputs.dims[2];
    result.framesToDecode = std::min(result.frames, lengths.values[0]);
    result.features = std::move(outputs.values);
    return result;
}

std::vector<int32_t> ParakeetEngine::Decode(const EncoderOutput& encoded,
                                            TranscribeTimings& timings) const {
    const int64_t D = encoded.featureSize, T = encoded.frames, F = encoded.framesToDecode;
    const size_t stateSize = size_t(stateLayers_ * stateHidden_);
    std::vector<float> state1(stateSize, 0.0f), state2(stateSize, 0.0f);
    std::vector<float> frame(static_cast<size_t>(D));
    std::vector<int32_t> tokens;
    tokens.reserve(size_t(F));
    int64_t t = 0;
    int32_t emittedAtFrame = 0;

    while (t < F) {
        for (int64_t d = 0; d < D; ++d) frame[size_t(d)] = encoded.features[size_t(d * T + t)];
        int32_t previous = tokens.empty() ? blankId_ : tokens.back();
        int32_t targetLength = 1;
        const OrtMemoryInfo* memory = cpuMemory_.get();
        const OrtValuePtr inputs[] = {
            WrapTensor(memory, frame.data(), frame.size(), {1, D, 1}),
            WrapTensor(memory, &previous, 1, {1, 1}), WrapTensor(memory, &targetLength, 1, {1}),
            WrapTensor(memory, state1.data(), stateSize, {stateLayers_, 1, stateHidden_}),
            WrapTensor(memory, state2.data(), stateSize, {stateLayers_, 1, stateHidden_})};
        auto outputs = RunSession<5, 4>(
            decoderJoint_.get(),
            {"encoder_outputs", "targets", "target_length", "input_states_1", "input_states_2"},
            {inputs[0].get(), inputs[1].get(), inputs[2].get(), inputs[3].get(), inputs[4].get()},
            {"outputs", "prednet_lengths", "output_states_1", "output_states_2"},
            timings.insideRunSeconds, runOptions_);
        ++timings.decoderJointRuns;

        const std::vector<float> scores =
            CopyTensor<float>(outputs[0].get(), kDecoderOutputMessage).values;
        std::vector<float> nextState1 =
            CopyTensor<float>(outputs[2].get(), kDecoderOutputMessage).values;
        std::vector<float> nextState2 =
            CopyTensor<float>(outputs[3].get(), kDecoderOutputMessage).values;
        if (scores.size() < size_t(vocabSize_) + 1) throw EngineError(kDecoderOutputMessage);
        // States of another size could not be fed back in.
        if (nextState1.size() != stateSize || nextState2.size() != stateSize)
            throw EngineError(kDecoderOutputMessage);

        const float* tokenScores = scores.data();
        const int32_t token = int32_t(ArgMax(tokenScores, tokenScores + vocabSize_));
        const int64_t duration =
            int64_t(ArgMax(tokenScores + vocabSize_, tokenScores + scores.size()));
        if (token != blankId_) {
            state1.swap(nextState1);
            state2.swap(nextState2);
            tokens.push_back(token);
            ++emittedAtFrame;
        }
        if (duration >= 1) {
            t += duration;
            emittedAtFrame = 0;
        } else if (token == blankId_ || emittedAtFrame >= maxTokensPerStep_) {
            t += 1;
            emittedAtFrame = 0;
        }
    }
    return tokens;
}

std::string ParakeetEngine::Transcribe(const std::vector<float>& samples,
                                       TranscribeTimings* timings,
                                       const OrtRunOptions* runOptions) {
    runOptions_ = runOptions;
    TranscribeTimings local;
    TranscribeTimings& spent = timings ? *timings : local;
    std::vector<float> waveform = samples;  // the runtime reads this call's own copy in place
    const EncoderOutput encoded = Encode(waveform, spent);
    if (encoded.featureSize < 1 || encoded.framesToDecode < 1) return {};
    const auto start = std::chrono::steady_clock::now();
    const std::vector<int32_t> tokens = Decode(encoded, spent);
    spent.decodingSeconds += SecondsSince(start);
    return AssembleText(vocabulary_, tokens);
}

}  // namespace orvello
