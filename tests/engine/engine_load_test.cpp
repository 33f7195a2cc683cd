// Loading a model directory: the order of the steps and every load error.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/engine_error.h"
#include "engine/model_identity.h"
#include "engine/parakeet_engine.h"
#include "tests/engine/engine_test_support.h"

namespace orvello {
namespace {

using test::CopyModel;
using test::ScratchFolder;
using test::TestModel;
using test::WriteFile;

std::string LoadError(const fs::path& directory) {
    try {
        ParakeetEngine engine(directory);
    } catch (const std::exception& error) {
        return error.what();
    }
    return "no error";
}

TEST(EngineLoad, ScriptedModelLoadsWithItsSettings) {
    ParakeetEngine engine(TestModel("scripted"));
    EXPECT_EQ(engine.vocabSize(), 6);
    EXPECT_EQ(engine.blankId(), 0);
    EXPECT_EQ(engine.maxTokensPerStep(), 10);
    EXPECT_EQ(engine.stateLayers(), 2);
    EXPECT_EQ(engine.stateHidden(), 3);
}

// The runtime's telemetry switch is set by the program itself, so a Windows runtime that reads it
// finds it too (Linux is checked from outside by tests/tools/check_no_telemetry.sh).
TEST(EngineLoad, RuntimeTelemetrySwitchIsSetInTheProcess) {
    ParakeetEngine engine(TestModel("scripted"));
    const char* value = std::getenv("ORT_DISABLE_TELEMETRY");
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "1");
}

TEST(EngineLoad, TooManyTokensPerStepAreClampedWithANote) {
    ScratchFolder folder;
    CopyModel(TestModel("scripted"), folder.path(), {"config.json"});
    WriteFile(folder.path() / "config.json", R"({"max_tokens_per_step": 2000000000})");
    ParakeetEngine engine(folder.path());
    EXPECT_EQ(engine.maxTokensPerStep(), 100);
    EXPECT_EQ(engine.loadNote(),
              "max_tokens_per_step 2000000000 in config.json is too large; using 100.");
    EXPECT_EQ(ParakeetEngine(TestModel("scripted")).loadNote(), "");
}

TEST(EngineLoad, EmptyDirectoryNameIsRefused) {
    EXPECT_EQ(LoadError(""), "Parakeet model directory is empty.");
}

TEST(EngineLoad, ConfigurationIsReadFirst) {
    ScratchFolder folder;
    // Nothing at all: the missing config.json is reported, not the rest.
    EXPECT_EQ(LoadError(folder.path()),
              "Failed to open file: " + PathForMessage(folder.path() / "config.json"));
    CopyModel(TestModel("scripted"), folder.path(), {"vocab.txt"});
    EXPECT_EQ(LoadError(folder.path()),
              "Failed to open file: " + PathForMessage(folder.path() / "vocab.txt"));
}

TEST(EngineLoad, ConfigurationAndVocabularyErrorsStopTheLoad) {
    ScratchFolder folder;
    CopyModel(TestModel("scripted"), folder.path());
    WriteFile(folder.path() / "config.json", "[]");
    EXPECT_EQ(LoadError(folder.path()), "cannot use value() with array");
    WriteFile(folder.path() / "config.json", R"({"max_tokens_per_step": 4})");
    EXPECT_EQ(ParakeetEngine(folder.path()).maxTokensPerStep(), 4);
    WriteFile(folder.path() / "vocab.txt", "a 0\nb 1\n");
    EXPECT_EQ(LoadError(folder.path()), "Parakeet vocab.txt is missing <blk>.");
}

TEST(EngineLoad, EachMissingNetworkNamesItsRoleAndCandidates) {
    ScratchFolder folder;
    const fs::path& dir = folder.path();
    CopyModel(TestModel("scripted"), dir, {"nemo128.onnx"});
    EXPECT_EQ(LoadError(dir), "Missing Parakeet file for preprocessor. Tried: " +
                                  PathForMessage(dir / "nemo128.onnx"));
    CopyModel(TestModel("scripted"), dir);
    fs::remove(dir / "encoder-model.int8.onnx");
    EXPECT_EQ(LoadError(dir), "Missing Parakeet file for encoder. Tried: " +
                                  PathForMessage(dir / "encoder-model.int8.onnx") + ", " +
                                  PathForMessage(dir / "encoder-model.onnx"));
    CopyModel(TestModel("scripted"), dir);
    fs::remove(dir / "decoder_joint-model.int8.onnx");
    EXPECT_EQ(LoadError(dir), "Missing Parakeet file for decoder_joint. Tried: " +
                                  PathForMessage(dir / "decoder_joint-model.int8.onnx") + ", " +
                                  PathForMessage(dir / "decoder_joint-model.onnx"));
}

TEST(EngineLoad, Int8AndFullPrecisionFilesMixFileByFile) {
    ScratchFolder folder;
    const fs::path& dir = folder.path();
    CopyModel(TestModel("scripted"), dir, {"decoder_joint-model.int8.onnx"});
    fs::copy_file(TestModel("scripted-fp32") / "decoder_joint-model.onnx",
                  dir / "decoder_joint-model.onnx");
    EXPECT_EQ(LoadError(dir), "no error");
    // The int8 file wins: a broken full-precision file beside it is never opened.
    WriteFile(dir / "encoder-model.onnx", "not a model");
    EXPECT_EQ(LoadError(dir), "no error");
    EXPECT_EQ(LoadError(TestModel("scripted-fp32")), "no error");
    // The log's model line tells which precision each network was loaded in.
    const ModelFacts mixed = ModelFactsOf(ParakeetEngine(dir));
    EXPECT_TRUE(mixed.int8Encoder);
    EXPECT_FALSE(mixed.int8DecoderJoint);
    EXPECT_EQ(mixed.encoderBytes, fs::file_size(dir / "encoder-model.int8.onnx"));
    const ModelFacts fullPrecision = ModelFactsOf(ParakeetEngine(TestModel("scripted-fp32")));
    EXPECT_FALSE(fullPrecision.int8Encoder || fullPrecision.int8DecoderJoint);
}

TEST(EngineLoad, DecoderStateMustBeThreeDimensionalWithKnownSizes) {
    EXPECT_EQ(LoadError(TestModel("state-2d")), "Unexpected Parakeet decoder state shape.");
    EXPECT_EQ(LoadError(TestModel("state-symbolic")), "Unexpected Parakeet decoder state shape.");
}

TEST(EngineLoad, NetworkFilesThatAreNotModelsGiveTheRuntimesMessage) {
    ScratchFolder folder;
    const fs::path& dir = folder.path();
    CopyModel(TestModel("scripted"), dir);
    std::string noise(4096, '\0');
    for (size_t i = 0; i < noise.size(); ++i) noise[i] = char((i * 2654435761u) >> 13);
    WriteFile(dir / "encoder-model.int8.onnx", noise);
    try {
        ParakeetEngine engine(dir);
        FAIL() << "random bytes loaded";
    } catch (const EngineError& error) {
        EXPECT_FALSE(std::string(error.what()).empty());
        EXPECT_NE(error.runtimeCode(), 0) << error.what();
    }
    const std::string whole =
        test::ReadBytes(TestModel("scripted") / "decoder_joint-model.int8.onnx");
    WriteFile(dir / "encoder-model.int8.onnx",
              test::ReadBytes(TestModel("scripted") / "encoder-model.int8.onnx"));
    WriteFile(dir / "decoder_joint-model.int8.onnx", whole.substr(0, whole.size() / 2));
    try {
        ParakeetEngine engine(dir);
        FAIL() << "a truncated model loaded";
    } catch (const EngineError& error) {
        EXPECT_NE(error.runtimeCode(), 0) << error.what();
    }
}

}  // namespace
}  // namespace orvello
