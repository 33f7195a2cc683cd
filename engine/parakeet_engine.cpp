#include "engine/parakeet_engine.h"

#include <algorithm>
#include <optional>

#include "engine/model_cache.h"
#include "engine/model_config.h"
#include "engine/ort_tensors.h"
#include "engine/processor_features.h"
#include "engine/session_options.h"
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

// A network that the load prepared without saving, and what its cache entry is to be keyed by.
struct ParakeetEngine::PendingCacheEntry {
    std::string role;
    fs::path source;
    ModelCacheKey key;
};

ParakeetEngine::ParakeetEngine(fs::path modelDirectory, fs::path modelCacheFolder,
                               ModelCacheWriting writing)
    : modelDirectory_(std::move(modelDirectory)),
      modelCacheFolder_(std::move(modelCacheFolder)),
      cacheWriting_(writing) {
    const OrtApi& api = Ort();
    environment_ = CreateOrtEnvironment("parakeet_engine");
    OrtMemoryInfo* memory = nullptr;
    ThrowIfFailed(api.CreateCpuMemoryInfo(OrtArenaAllocator, OrtMemTypeDefault, &memory));
    cpuMemory_.reset(memory);

    if (modelDirectory_.empty()) throw EngineError("Parakeet model directory is empty.");
    LoadConfig();
    LoadVocabulary();
    CreateSessions(modelCacheFolder_);
}

ParakeetEngine::~ParakeetEngine() = default;

void ParakeetEngine::AddNote(const std::string& line) {
    loadNote_ += (loadNote_.empty() ? "" : "\n") + line;
}

void ParakeetEngine::LoadConfig() {
    const int32_t configured =
        ParseMaxTokensPerStep(ReadFileBytes(modelDirectory_ / "config.json"));
    maxTokensPerStep_ = std::min(configured, kLargestMaxTokensPerStep);
    if (maxTokensPerStep_ != configured)
        AddNote("max_tokens_per_step " + std::to_string(configured) +
                " in config.json is too large; using " + std::to_string(maxTokensPerStep_) + ".");
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

void ParakeetEngine::CreateSessions(const fs::path& modelCacheFolder) {
    ModelCache cache(modelCacheFolder);
    preprocessor_ = CreateNetworkSession(
        cache, "preprocessor", FindModelFile(modelDirectory_, "preprocessor", {"nemo128.onnx"}));
    encoderFile_ = FindModelFile(modelDirectory_, "encoder",
                                 {"encoder-model.int8.onnx", "encoder-model.onnx"});
    encoder_ = CreateNetworkSession(cache, "encoder", encoderFile_);
    decoderJointFile_ =
        FindModelFile(modelDirectory_, "decoder_joint",
                      {"decoder_joint-model.int8.onnx", "decoder_joint-model.onnx"});
    decoderJoint_ = CreateNetworkSession(cache, "decoder_joint", decoderJointFile_);
    ReadDecoderStateShape();
    for (const std::string& note : cache.notes()) AddNote(note);
}

// From the cache when it holds the prepared network, else prepared as the runtime always does,
// and saved for the next load while being prepared. Whatever the cache does wrong, the network
// is still loaded the usual way.
OrtSessionPtr ParakeetEngine::CreateNetworkSession(ModelCache& cache, const std::string& role,
                                                   const fs::path& source) {
    const auto preparing = MakeSessionOptions(role, SessionPreparation::Prepare);
    std::optional<ModelCacheKey> key;
    if (cache.enabled()) {
        try {
            key = KeyOfModelFile(source, RuntimeVersion(), ProcessorFeatures());
        } catch (const fs::filesystem_error&) {
            // The runtime reports the unreadable file in its own words below.
        }
    }
    if (!key) return CreateSession(source, preparing.get());
    if (const auto entry = cache.Find(role, *key)) {
        try {
            auto session = CreateSession(
                entry->graph(), MakeSessionOptions(role, SessionPreparation::Prepared).get());
            ++modelCacheUse_.networksLoaded;
            return session;
        } catch (const EngineError& error) {
            cache.Abandon(*entry, "the " + role + " entry cannot be loaded (" + error.what() + ")");
        }
    }
    if (cacheWriting_ == ModelCacheWriting::AfterLoad) {
        pendingCacheEntries_.push_back({role, source, *key});
        return CreateSession(source, preparing.get());
    }
    if (const auto entry = cache.BeginEntry(role)) {
        try {
            auto session = CreateSession(source, MakeSavingSessionOptions(role, *entry).get());
            cache.CommitEntry(role, *entry, *key);
            ++modelCacheUse_.networksSaved;
            return session;
        } catch (const EngineError& error) {
            cache.Abandon(*entry, "");
            cache.GiveUpWriting(error.what());
        }
    }
    return CreateSession(source, preparing.get());
}

std::vector<std::string> ParakeetEngine::WritePendingModelCache() const {
    ModelCache cache(modelCacheFolder_);
    for (const PendingCacheEntry& pending : pendingCacheEntries_) {
        const auto entry = cache.BeginEntry(pending.role);
        if (!entry) break;  // noted; nothing more is written
        try {
            // One thread: the program's own work keeps the other cores.
            const auto options = MakeSavingSessionOptions(pending.role, *entry);
            ThrowIfFailed(Ort().SetIntraOpNumThreads(options.get(), 1));
            (void)CreateSession(pending.source, options.get());
            cache.CommitEntry(pending.role, *entry, pending.key);
        } catch (const EngineError& error) {
            cache.Abandon(*entry, "");
            cache.GiveUpWriting(error.what());
        }
    }
    return cache.notes();
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

namespace {

// What the decoder-joint reads at each step of the decoding loop. The tensors over these buffers
// are made once per decoding; each step rewrites the buffers in place.
class DecoderStepInputs {
public:
    DecoderStepInputs(const OrtMemoryInfo* memory, int64_t featureSize, int64_t stateLayers,
                      int64_t stateHidden)
        : frame(size_t(featureSize)),
          state1(size_t(stateLayers * stateHidden), 0.0f),
          state2(size_t(stateLayers * stateHidden), 0.0f) {
        tensors_[0] = WrapTensor(memory, frame.data(), frame.size(), {1, featureSize, 1});
        tensors_[1] = WrapTensor(memory, &previous, 1, {1, 1});
        tensors_[2] = WrapTensor(memory, &targetLength, 1, {1});
        tensors_[3] =
            WrapTensor(memory, state1.data(), state1.size(), {stateLayers, 1, stateHidden});
        tensors_[4] =
            WrapTensor(memory, state2.data(), state2.size(), {stateLayers, 1, stateHidden});
    }
    DecoderStepInputs(const DecoderStepInputs&) = delete;
    DecoderStepInputs& operator=(const DecoderStepInputs&) = delete;

    std::array<const OrtValue*, 5> values() const {
        return {tensors_[0].get(), tensors_[1].get(), tensors_[2].get(), tensors_[3].get(),
                tensors_[4].get()};
    }

    std::vector<float> frame;
    std::vector<float> state1, state2;
    int32_t previous = 0;
    int32_t targetLength = 1;

private:
    OrtValuePtr tensors_[5];
};

// A state output of another size could not be fed back in.
const float* CheckedState(OrtValue* output, size_t stateSize) {
    const TensorView<float> state = ViewTensor<float>(output, kDecoderOutputMessage);
    if (state.count != stateSize) throw EngineError(kDecoderOutputMessage);
    return state.values;
}

}  // namespace

std::vector<int32_t> ParakeetEngine::Decode(const EncoderOutput& encoded,
                                            TranscribeTimings& timings) const {
    const int64_t D = encoded.featureSize, T = encoded.frames, F = encoded.framesToDecode;
    DecoderStepInputs step(cpuMemory_.get(), D, stateLayers_, stateHidden_);
    const size_t stateSize = step.state1.size();
    std::vector<int32_t> tokens;
    tokens.reserve(size_t(F));
    int64_t t = 0;
    int32_t emittedAtFrame = 0;

    while (t < F) {
        for (int64_t d = 0; d < D; ++d) step.frame[size_t(d)] = encoded.features[size_t(d * T + t)];
        step.previous = tokens.empty() ? blankId_ : tokens.back();
        auto outputs = RunSession<5, 4>(
            decoderJoint_.get(),
            {"encoder_outputs", "targets", "target_length", "input_states_1", "input_states_2"},
            step.values(), {"outputs", "prednet_lengths", "output_states_1", "output_states_2"},
            timings.insideRunSeconds, runOptions_);
        ++timings.decoderJointRuns;

        const TensorView<float> scores = ViewTensor<float>(outputs[0].get(), kDecoderOutputMessage);
        if (scores.count < size_t(vocabSize_) + 1) throw EngineError(kDecoderOutputMessage);
        const float* nextState1 = CheckedState(outputs[2].get(), stateSize);
        const float* nextState2 = CheckedState(outputs[3].get(), stateSize);

        const float* tokenScores = scores.values;
        const int32_t token = int32_t(ArgMax(tokenScores, tokenScores + vocabSize_));
        const int64_t duration =
            int64_t(ArgMax(tokenScores + vocabSize_, tokenScores + scores.count));
        if (token != blankId_) {
            std::copy(nextState1, nextState1 + stateSize, step.state1.begin());
            std::copy(nextState2, nextState2 + stateSize, step.state2.begin());
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
