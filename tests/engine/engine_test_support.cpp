#include "tests/engine/engine_test_support.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

namespace orvello::test {

fs::path TestModel(const std::string& name) {
    return fs::path(ORVELLO_TEST_MODELS) / name;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() /
            ("orvello-engine-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void CopyModel(const fs::path& from, const fs::path& to, const std::vector<std::string>& without) {
    fs::create_directories(to);
    for (const auto& entry : fs::directory_iterator(from)) {
        const std::string name = entry.path().filename().string();
        if (std::find(without.begin(), without.end(), name) == without.end())
            fs::copy_file(entry.path(), to / name, fs::copy_options::overwrite_existing);
    }
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

ScriptedWaveform::ScriptedWaveform(int frames) : samples_(1 + size_t(frames) * kFrameSize, 0.0f) {
    samples_[0] = float(frames);
}

ScriptedWaveform& ScriptedWaveform::At(int t, int c, int p, int token, int duration) {
    float* row = &samples_[1 + size_t(t) * kFrameSize + size_t(c * kTokens + p) * kRow];
    std::fill(row, row + kRow, 0.0f);
    row[token] = 1.0f;
    row[kTokens + duration] = 1.0f;
    return *this;
}

ScriptedWaveform& ScriptedWaveform::Always(int t, int token, int duration) {
    for (int c = 0; c < kCounts; ++c)
        for (int p = 0; p < kTokens; ++p) At(t, c, p, token, duration);
    return *this;
}

ScriptedWaveform& ScriptedWaveform::ReportLength(int encodedLength) {
    samples_[0] = float(encodedLength);
    return *this;
}

}  // namespace orvello::test
