// Finding the model directory and its files.
#include <gtest/gtest.h>

#include "engine/engine_error.h"
#include "engine/model_files.h"
#include "tests/engine/engine_test_support.h"

namespace orvello {
namespace {

using test::ScratchFolder;
using test::WriteFile;

const std::vector<std::string> kInt8Files = {"nemo128.onnx", "encoder-model.int8.onnx",
                                             "decoder_joint-model.int8.onnx"};

void Touch(const fs::path& folder, const std::vector<std::string>& names) {
    fs::create_directories(folder);
    for (const auto& name : names) WriteFile(folder / name, "x");
}

// The default search looks beside the program, here the test program.
class DefaultModelDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override { RemoveCandidates(); }
    void TearDown() override { RemoveCandidates(); }
    void RemoveCandidates() {
        fs::remove_all(base / "models");
        fs::remove_all(base / "parakeet-tdt-0.6b-v3-onnx");
    }
    const fs::path base = ExecutableDirectory();
};

TEST_F(DefaultModelDirectoryTest, PrefersModelsBesideTheProgram) {
    Touch(base / "models", kInt8Files);
    Touch(base / "parakeet-tdt-0.6b-v3-onnx", kInt8Files);
    EXPECT_EQ(DefaultModelDirectory(), base / "models");
}

TEST_F(DefaultModelDirectoryTest, SkipsCandidatesWithoutAllInt8Files) {
    Touch(base / "models", {"nemo128.onnx", "encoder-model.onnx", "decoder_joint-model.onnx"});
    Touch(base / "models" / "parakeet-tdt-0.6b-v3-onnx",
          {"encoder-model.int8.onnx", "decoder_joint-model.int8.onnx"});
    Touch(base / "parakeet-tdt-0.6b-v3-onnx", kInt8Files);
    EXPECT_EQ(DefaultModelDirectory(), base / "parakeet-tdt-0.6b-v3-onnx");
}

TEST_F(DefaultModelDirectoryTest, FindsTheNestedFolder) {
    Touch(base / "models" / "parakeet-tdt-0.6b-v3-onnx", kInt8Files);
    EXPECT_EQ(DefaultModelDirectory(), base / "models" / "parakeet-tdt-0.6b-v3-onnx");
}

TEST_F(DefaultModelDirectoryTest, FallsBackToModelsWhenNothingQualifies) {
    EXPECT_EQ(DefaultModelDirectory(), base / "models");
    // Full-precision files alone never qualify, but the fallback still finds them.
    Touch(base / "models", {"nemo128.onnx", "encoder-model.onnx", "decoder_joint-model.onnx"});
    EXPECT_EQ(DefaultModelDirectory(), base / "models");
    EXPECT_EQ(FindModelFile(base / "models", "encoder",
                            {"encoder-model.int8.onnx", "encoder-model.onnx"}),
              base / "models" / "encoder-model.onnx");
}

TEST(FindModelFile, TakesTheFirstCandidateThatExistsEvenAFolder) {
    ScratchFolder folder;
    Touch(folder.path(), {"b.onnx"});
    fs::create_directory(folder.path() / "a.onnx");
    EXPECT_EQ(FindModelFile(folder.path(), "encoder", {"a.onnx", "b.onnx"}),
              folder.path() / "a.onnx");
    EXPECT_EQ(FindModelFile(folder.path(), "encoder", {"c.onnx", "b.onnx"}),
              folder.path() / "b.onnx");
}

TEST(FindModelFile, NamesTheRoleAndEveryPathTriedInOrder) {
    ScratchFolder folder;
    try {
        (void)FindModelFile(folder.path(), "encoder",
                            {"encoder-model.int8.onnx", "encoder-model.onnx"});
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Missing Parakeet file for encoder. Tried: " +
                      PathForMessage(folder.path() / "encoder-model.int8.onnx") + ", " +
                      PathForMessage(folder.path() / "encoder-model.onnx"));
    }
}

TEST(ReadFileBytes, ReadsRawBytesAndNamesAMissingFile) {
    ScratchFolder folder;
    const std::string bytes("a\r\nb\0c\x1A", 7);
    WriteFile(folder.path() / "f.bin", bytes);
    EXPECT_EQ(ReadFileBytes(folder.path() / "f.bin"), bytes);
    EXPECT_EQ(ReadFileBytes(folder.path() / "f.bin").size(), 7u);
    try {
        (void)ReadFileBytes(folder.path() / "none.txt");
        FAIL() << "no error";
    } catch (const EngineError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Failed to open file: " + PathForMessage(folder.path() / "none.txt"));
    }
}

}  // namespace
}  // namespace orvello
