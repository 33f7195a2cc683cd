#pragma once
// One loaded Parakeet TDT model: three ONNX Runtime sessions (preprocessor,
// encoder, decoder-joint), the vocabulary and the decoding settings, and the
// greedy token-and-duration decoding that turns 16 kHz samples into text.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/model_files.h"
#include "engine/ort_handles.h"

namespace orvello {

// Where the time of one Transcribe call went; for benchmarks.
struct TranscribeTimings {
    double preprocessorSeconds = 0;
    double encoderSeconds = 0;
    double decodingSeconds = 0;   // the whole decoding loop
    double insideRunSeconds = 0;  // every ONNX Runtime Run call, all three networks
    int64_t decoderJointRuns = 0;
};

class ModelCache;

// When a load that finds no cache entry for a network saves its prepared form.
enum class ModelCacheWriting {
    // The network's session saves it while it is made: one preparation, but a slower load.
    DuringLoad,
    // The load is today's; WritePendingModelCache saves it afterwards, so the engine is ready as
    // soon as without a cache.
    AfterLoad,
};

class ParakeetEngine {
public:
    // Loads everything in order: runtime, config.json, vocab.txt, the three
    // networks, the decoder state shape. Throws EngineError (or a
    // filesystem_error) at the first failure; nothing stays loaded then.
    // With a model cache folder (model_cache.h) each network is loaded from its
    // prepared form there, or prepared and saved there for the next load.
    explicit ParakeetEngine(fs::path modelDirectory, fs::path modelCacheFolder = {},
                            ModelCacheWriting writing = ModelCacheWriting::DuringLoad);

    ~ParakeetEngine();
    ParakeetEngine(const ParakeetEngine&) = delete;
    ParakeetEngine& operator=(const ParakeetEngine&) = delete;

    // Samples are 16,000 a second, mono, nominally -1..1. Returns UTF-8 text.
    // Calls must not overlap; an error leaves the engine usable. Every runtime
    // Run of the call gets `runOptions` (may be null), through which another
    // thread can stop it (transcription_stop.h).
    std::string Transcribe(const std::vector<float>& samples, TranscribeTimings* timings = nullptr,
                           const OrtRunOptions* runOptions = nullptr);

    const fs::path& modelDirectory() const { return modelDirectory_; }
    // The encoder and decoder-joint files chosen: int8 where present, else full precision.
    const fs::path& encoderFile() const { return encoderFile_; }
    const fs::path& decoderJointFile() const { return decoderJointFile_; }
    int32_t vocabSize() const { return vocabSize_; }
    int32_t blankId() const { return blankId_; }
    int32_t maxTokensPerStep() const { return maxTokensPerStep_; }
    // What the user should know about the loaded model, for the log, one line each, separated
    // by '\n': empty, or that config.json's max_tokens_per_step was too large and which value is
    // used instead, and what went wrong with the model cache (an entry made again and why, a
    // write that failed).
    const std::string& loadNote() const { return loadNote_; }
    // How many networks came from the model cache, and how many were saved into it.
    struct ModelCacheUse {
        int networksLoaded = 0;
        int networksSaved = 0;
    };
    const ModelCacheUse& modelCacheUse() const { return modelCacheUse_; }

    // With ModelCacheWriting::AfterLoad: whether networks wait to be saved into the cache.
    bool hasPendingModelCache() const { return !pendingCacheEntries_.empty(); }
    // Saves them, each prepared again by a session of its own on the calling thread, which is then
    // released. It touches nothing Transcribe uses, so another thread may transcribe meanwhile;
    // call it once, before the engine is destroyed. Returns the cache's notes (a write that
    // failed).
    std::vector<std::string> WritePendingModelCache() const;
    int64_t stateLayers() const { return stateLayers_; }
    int64_t stateHidden() const { return stateHidden_; }

private:
    struct EncoderOutput;
    void LoadConfig();
    void LoadVocabulary();
    void AddNote(const std::string& line);
    void CreateSessions(const fs::path& modelCacheFolder);
    OrtSessionPtr CreateNetworkSession(ModelCache& cache, const std::string& role,
                                       const fs::path& source);
    OrtSessionPtr CreateSession(const fs::path& modelFile, const OrtSessionOptions* options) const;
    void ReadDecoderStateShape();
    EncoderOutput Encode(std::vector<float>& samples, TranscribeTimings& timings) const;
    std::vector<int32_t> Decode(const EncoderOutput& encoded, TranscribeTimings& timings) const;

    // Members are destroyed in reverse order: vocabulary, decoder-joint,
    // encoder and preprocessor sessions, memory description, environment.
    fs::path modelDirectory_;
    fs::path encoderFile_;
    fs::path decoderJointFile_;
    OrtEnvPtr environment_;
    OrtMemoryInfoPtr cpuMemory_;
    OrtSessionPtr preprocessor_;
    OrtSessionPtr encoder_;
    OrtSessionPtr decoderJoint_;
    std::vector<std::string> vocabulary_;
    int32_t vocabSize_ = 0;
    int32_t blankId_ = -1;
    int32_t maxTokensPerStep_ = 10;
    int64_t stateLayers_ = 2;
    int64_t stateHidden_ = 640;
    std::string loadNote_;
    ModelCacheUse modelCacheUse_;
    fs::path modelCacheFolder_;
    ModelCacheWriting cacheWriting_;
    struct PendingCacheEntry;
    std::vector<PendingCacheEntry> pendingCacheEntries_;
    const OrtRunOptions* runOptions_ = nullptr;  // of the Transcribe call in progress
};

}  // namespace orvello
