// The model cache on the realistic model: a second load uses it and computes what the model
// file computes, also when it was written after the load; a damaged or stale entry is noticed, said in one line, and made again; a cache
// that cannot be written leaves the engine working.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>

#include "engine/model_cache.h"
#include "engine/ort_tensors.h"
#include "engine/parakeet_engine.h"
#include "engine/session_options.h"
#include "tests/engine/engine_test_support.h"

namespace orvello {
namespace {

using test::ReadBytes;
using test::WriteFile;

std::vector<float> Noise(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> gauss(0.0f, 0.3f);
    std::vector<float> values(count);
    for (float& v : values) v = gauss(random);
    return values;
}

class ModelCacheTest : public ::testing::Test {
protected:
    void SetUp() override { test::CopyModel(test::TestModel("realistic"), model_); }

    std::unique_ptr<ParakeetEngine> Load() {
        return std::make_unique<ParakeetEngine>(model_, cache_);
    }
    fs::path Entry(const std::string& role) const { return cache_ / role; }
    static std::string Text(ParakeetEngine& engine) { return engine.Transcribe(Noise(48000, 7)); }

    test::ScratchFolder scratch_;
    const fs::path model_ = scratch_.path() / "model";  // a copy the tests may change
    const fs::path cache_ = scratch_.path() / "cache";
};

TEST_F(ModelCacheTest, SecondLoadUsesTheCacheAndGivesTheSameText) {
    const std::string uncached = Text(*std::make_unique<ParakeetEngine>(model_));
    auto first = Load();
    EXPECT_EQ(first->modelCacheUse().networksSaved, 3);
    EXPECT_EQ(Text(*first), uncached);
    first.reset();

    auto second = Load();
    EXPECT_EQ(second->modelCacheUse().networksLoaded, 3);
    EXPECT_EQ(second->modelCacheUse().networksSaved, 0);
    EXPECT_EQ(second->loadNote(), "");
    EXPECT_EQ(Text(*second), uncached);
}

// The prepared encoder computes what the model file computes, to within rounding.
// As Orvello loads: the engine is ready without the cache's writing, which runs beside a
// transcription, and the next load uses what it wrote.
TEST_F(ModelCacheTest, CacheWrittenAfterTheLoadWhileTheEngineTranscribes) {
    const std::string uncached = Text(*std::make_unique<ParakeetEngine>(model_));
    auto first = std::make_unique<ParakeetEngine>(model_, cache_, ModelCacheWriting::AfterLoad);
    ASSERT_TRUE(first->hasPendingModelCache());
    EXPECT_FALSE(fs::exists(Entry("encoder")));
    std::vector<std::string> notes{"not written"};
    std::thread writer([&] { notes = first->WritePendingModelCache(); });
    EXPECT_EQ(Text(*first), uncached);
    writer.join();
    EXPECT_EQ(notes, std::vector<std::string>{});
    first.reset();

    auto second = std::make_unique<ParakeetEngine>(model_, cache_, ModelCacheWriting::AfterLoad);
    EXPECT_EQ(second->modelCacheUse().networksLoaded, 3);
    EXPECT_FALSE(second->hasPendingModelCache());
    EXPECT_EQ(Text(*second), uncached);
}

TEST_F(ModelCacheTest, PreparedEncoderComputesWhatTheModelFileComputes) {
    Load().reset();
    const OrtEnvPtr environment = CreateOrtEnvironment("model_cache_test");
    OrtMemoryInfo* rawMemory = nullptr;
    ThrowIfFailed(Ort().CreateCpuMemoryInfo(OrtArenaAllocator, OrtMemTypeDefault, &rawMemory));
    const OrtMemoryInfoPtr memory(rawMemory);
    constexpr int64_t kFeatures = 128, kFrames = 200;
    std::vector<float> features = Noise(size_t(kFeatures * kFrames), 3);
    int64_t length = kFrames;
    auto encode = [&](const fs::path& file, SessionPreparation preparation) {
        OrtSession* raw = nullptr;
        ThrowIfFailed(Ort().CreateSession(environment.get(), file.c_str(),
                                          MakeSessionOptions("encoder", preparation).get(), &raw));
        const OrtSessionPtr session(raw);
        const OrtValuePtr input =
            WrapTensor(memory.get(), features.data(), features.size(), {1, kFeatures, kFrames});
        const OrtValuePtr lengths = WrapTensor(memory.get(), &length, 1, {1});
        double inside = 0;
        auto outputs = RunSession<2, 2>(session.get(), {"audio_signal", "length"},
                                        {input.get(), lengths.get()},
                                        {"outputs", "encoded_lengths"}, inside);
        return CopyTensor<float>(outputs[0].get(), "encoder outputs").values;
    };
    const std::vector<float> original =
        encode(model_ / "encoder-model.int8.onnx", SessionPreparation::Prepare);
    const std::vector<float> prepared =
        encode(ModelCacheEntryFiles{Entry("encoder")}.graph(), SessionPreparation::Prepared);
    ASSERT_EQ(prepared.size(), original.size());
    for (size_t i = 0; i < original.size(); ++i)
        ASSERT_NEAR(prepared[i], original[i], 1e-4f * (1.0f + std::abs(original[i]))) << i;
}

struct StaleEntry {
    const char* what;
    std::function<void(const fs::path& entry, const fs::path& model)> spoil;
    const char* note;
};

void ChangeManifestKey(const fs::path& entry, const char* field, const char* value) {
    nlohmann::json manifest = nlohmann::json::parse(ReadBytes(entry / "manifest.json"));
    manifest["key"][field] = value;
    WriteFile(entry / "manifest.json", manifest.dump());
}

const StaleEntry kStaleEntries[] = {
    {"truncated data file",
     [](const fs::path& entry, const fs::path&) {
         fs::resize_file(entry / "model.onnx.data", fs::file_size(entry / "model.onnx.data") / 2);
     },
     "Model cache: the encoder entry is damaged: model.onnx.data has the wrong size; preparing "
     "it again."},
    {"model file replaced in place",
     [](const fs::path&, const fs::path& model) {
         const fs::path file = model / "encoder-model.int8.onnx";
         const std::string bytes = ReadBytes(file);
         WriteFile(file, bytes);
         fs::last_write_time(file, fs::last_write_time(file) + std::chrono::hours(1));
     },
     "Model cache: the encoder entry was made from another encoder-model.int8.onnx; preparing "
     "it again."},
    {"another runtime version",
     [](const fs::path& entry, const fs::path&) { ChangeManifestKey(entry, "runtime", "1.0.0"); },
     "Model cache: the encoder entry was made by ONNX Runtime 1.0.0; preparing it again."},
    {"another processor",
     [](const fs::path& entry, const fs::path&) { ChangeManifestKey(entry, "processor", "x"); },
     "Model cache: the encoder entry was made on a processor with other features; preparing it "
     "again."},
    {"unreadable manifest",
     [](const fs::path& entry, const fs::path&) { WriteFile(entry / "manifest.json", "{"); },
     "Model cache: the encoder entry is damaged: its manifest cannot be read; preparing it "
     "again."},
};

TEST_F(ModelCacheTest, StaleOrDamagedEntryIsMadeAgain) {
    const std::string uncached = Text(*std::make_unique<ParakeetEngine>(model_));
    for (const StaleEntry& stale : kStaleEntries) {
        SCOPED_TRACE(stale.what);
        Load().reset();
        stale.spoil(Entry("encoder"), model_);
        auto engine = Load();
        EXPECT_EQ(engine->loadNote().substr(0, engine->loadNote().find('\n')), stale.note);
        EXPECT_EQ(engine->modelCacheUse().networksLoaded, 2);
        EXPECT_EQ(engine->modelCacheUse().networksSaved, 1);
        EXPECT_EQ(Text(*engine), uncached);
        engine.reset();
        EXPECT_EQ(Load()->modelCacheUse().networksLoaded, 3);
    }
}

TEST_F(ModelCacheTest, CacheThatCannotBeWrittenIsNotedOnceAndTheEngineWorks) {
    WriteFile(cache_, "a file where the folder should be");
    auto engine = Load();
    EXPECT_EQ(engine->loadNote().find("Model cache: cannot write to "), 0u) << engine->loadNote();
    EXPECT_EQ(engine->loadNote().find('\n'), std::string::npos) << engine->loadNote();
    EXPECT_EQ(engine->modelCacheUse().networksSaved, 0);
    EXPECT_FALSE(Text(*engine).empty());
}

}  // namespace
}  // namespace orvello
