#include "engine/model_cache.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <random>
#include <system_error>

#include "engine/model_files.h"

namespace orvello {
namespace {

// Raised when the way entries are made changes, so that older entries are made again.
constexpr int kCacheFormat = 1;
constexpr std::uintmax_t kSliceBytes = 64 * 1024;
constexpr int kSlices = 4;
// A temporary folder this old was left by a process that ended while writing.
constexpr auto kAbandonedAfter = std::chrono::hours(1);
const char* const kTemporaryMarker = ".tmp-";

std::string Hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// FNV-1a over a few slices spread over the file and its size: a file replaced in place, or
// cut short, or damaged in one of the slices, hashes differently; reading 256 KiB of a 600 MB
// model is quick.
std::string SampleOfFile(const fs::path& path, std::uintmax_t size) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw fs::filesystem_error("open", path, std::make_error_code(std::errc::io_error));
    std::uint64_t hash = 14695981039346656037ull ^ size;
    std::vector<char> buffer(kSliceBytes);
    for (int i = 0; i < kSlices; ++i) {
        const std::uintmax_t last = size > kSliceBytes ? size - kSliceBytes : 0;
        file.seekg(std::streamoff(last * std::uintmax_t(i) / (kSlices - 1)));
        file.read(buffer.data(), std::streamsize(buffer.size()));
        for (std::streamsize b = 0; b < file.gcount(); ++b) {
            hash = (hash ^ static_cast<unsigned char>(buffer[size_t(b)])) * 1099511628211ull;
        }
        file.clear();
    }
    return Hex(hash);
}

long long ModifiedTicks(const fs::path& path) {
    return static_cast<long long>(fs::last_write_time(path).time_since_epoch().count());
}

// What the manifest says of one of the entry's own files: its size, or -1 when the runtime
// wrote no such file (a graph with nothing large enough to keep apart has no data file).
nlohmann::json DescribeWrittenFile(const fs::path& path) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) return {{"size", -1}};
    return {{"size", size}, {"sample", SampleOfFile(path, size)}};
}

// Why a written file no longer matches its description; empty when it does.
std::string DamageOfWrittenFile(const fs::path& path, const nlohmann::json& described) {
    const long long size = described.at("size").get<long long>();
    std::error_code error;
    const std::uintmax_t actual = fs::file_size(path, error);
    if (size < 0) return error ? "" : path.filename().string() + " should not be there";
    if (error) return path.filename().string() + " is missing";
    if (actual != std::uintmax_t(size)) return path.filename().string() + " has the wrong size";
    if (SampleOfFile(path, actual) != described.at("sample").get<std::string>())
        return path.filename().string() + " has changed";
    return {};
}

nlohmann::json KeyToJson(const ModelCacheKey& key) {
    return {{"format", key.format},
            {"source_name", key.sourceName},
            {"source_size", key.sourceSize},
            {"source_modified", key.sourceModified},
            {"source_sample", key.sourceSample},
            {"runtime", key.runtimeVersion},
            {"processor", key.processor}};
}

// Why an entry made for `made` does not fit `wanted`; empty when it fits.
std::string MismatchOfKeys(const nlohmann::json& made, const ModelCacheKey& wanted) {
    if (made.at("format").get<int>() != wanted.format) return "was made by another Orvello";
    if (made.at("runtime").get<std::string>() != wanted.runtimeVersion)
        return "was made by ONNX Runtime " + made.at("runtime").get<std::string>();
    if (made.at("processor").get<std::string>() != wanted.processor)
        return "was made on a processor with other features";
    if (made.at("source_name").get<std::string>() != wanted.sourceName ||
        made.at("source_size").get<std::uintmax_t>() != wanted.sourceSize ||
        made.at("source_modified").get<long long>() != wanted.sourceModified ||
        made.at("source_sample").get<std::string>() != wanted.sourceSample)
        return "was made from another " + wanted.sourceName;
    return {};
}

std::string TemporaryName(const std::string& role) {
    std::random_device device;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    return role + kTemporaryMarker + Hex(std::uint64_t(device()) << 32 ^ std::uint64_t(now));
}

// Temporary folders of `role` that a process left behind when it ended while writing.
void RemoveAbandonedTemporaries(const fs::path& folder, const std::string& role) {
    std::error_code error;
    const auto now = fs::file_time_type::clock::now();
    for (const auto& item : fs::directory_iterator(folder, error)) {
        const std::string name = item.path().filename().string();
        if (name.rfind(role + kTemporaryMarker, 0) != 0) continue;
        std::error_code ignored;
        const auto written = fs::last_write_time(item.path(), ignored);
        if (!ignored && now - written > kAbandonedAfter) fs::remove_all(item.path(), ignored);
    }
}

// Why the entry cannot be used for `key`; empty when it can.
std::string WhyEntryDoesNotFit(const ModelCacheEntryFiles& entry, const ModelCacheKey& key) {
    std::ifstream file(entry.manifest(), std::ios::binary);
    if (!file) return "is damaged: its manifest is missing";
    try {
        const nlohmann::json manifest = nlohmann::json::parse(file);
        const std::string mismatch = MismatchOfKeys(manifest.at("key"), key);
        if (!mismatch.empty()) return mismatch;
        for (const auto& [path, name] :
             {std::pair{entry.graph(), "graph"}, std::pair{entry.data(), "data"}}) {
            const std::string damage = DamageOfWrittenFile(path, manifest.at(name));
            if (!damage.empty()) return "is damaged: " + damage;
        }
        return {};
    } catch (const std::exception&) {
        return "is damaged: its manifest cannot be read";
    }
}

}  // namespace

ModelCacheKey KeyOfModelFile(const fs::path& source, const std::string& runtimeVersion,
                             const std::string& processor) {
    ModelCacheKey key;
    key.format = kCacheFormat;
    key.sourceName = source.filename().string();
    key.sourceSize = fs::file_size(source);
    key.sourceModified = ModifiedTicks(source);
    key.sourceSample = SampleOfFile(source, key.sourceSize);
    key.runtimeVersion = runtimeVersion;
    key.processor = processor;
    return key;
}

std::optional<ModelCacheEntryFiles> ModelCache::Find(const std::string& role,
                                                     const ModelCacheKey& key) {
    if (!enabled()) return std::nullopt;
    const ModelCacheEntryFiles entry{EntryFolder(role)};
    std::error_code error;
    if (!fs::exists(entry.folder, error)) return std::nullopt;
    const std::string misfit = WhyEntryDoesNotFit(entry, key);
    if (misfit.empty()) return entry;
    Abandon(entry, "the " + role + " entry " + misfit);
    return std::nullopt;
}

std::optional<ModelCacheEntryFiles> ModelCache::BeginEntry(const std::string& role) {
    if (!enabled() || writeFailed_) return std::nullopt;
    std::error_code error;
    fs::create_directories(folder_, error);
    if (!error) RemoveAbandonedTemporaries(folder_, role);
    const ModelCacheEntryFiles entry{folder_ / TemporaryName(role)};
    if (!error) fs::create_directory(entry.folder, error);
    if (error) {
        GiveUpWriting(error.message());
        return std::nullopt;
    }
    return entry;
}

void ModelCache::CommitEntry(const std::string& role, const ModelCacheEntryFiles& written,
                             const ModelCacheKey& key) {
    std::error_code error;
    try {
        const nlohmann::json manifest = {{"key", KeyToJson(key)},
                                         {"graph", DescribeWrittenFile(written.graph())},
                                         {"data", DescribeWrittenFile(written.data())}};
        std::ofstream file(written.manifest(), std::ios::binary | std::ios::trunc);
        file << manifest.dump(1);
        file.close();
        if (!file) throw std::runtime_error("the manifest could not be written");
    } catch (const std::exception& failure) {
        fs::remove_all(written.folder, error);
        GiveUpWriting(failure.what());
        return;
    }
    // Another process may have put its entry in place meanwhile; then ours is not needed.
    const fs::path target = EntryFolder(role);
    fs::remove_all(target, error);
    if (!error) fs::rename(written.folder, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove_all(written.folder, ignored);
        if (!fs::exists(target / "manifest.json", ignored)) GiveUpWriting(error.message());
    }
}

void ModelCache::Abandon(const ModelCacheEntryFiles& entry, const std::string& why) {
    std::error_code error;
    fs::remove_all(entry.folder, error);
    if (!why.empty()) Note("Model cache: " + why + "; preparing it again.");
}

void ModelCache::GiveUpWriting(const std::string& why) {
    if (writeFailed_) return;
    writeFailed_ = true;
    Note("Model cache: cannot write to " + PathForMessage(folder_) + " (" + why +
         "); the engine works without it.");
}

bool DeleteModelCache(const fs::path& folder) {
    std::error_code error;
    if (folder.empty() || !fs::exists(folder, error)) return !error;
    fs::remove_all(folder, error);
    if (!error) return true;
    // Remove what can be removed, entry by entry: one file in use keeps only its own entry.
    for (const auto& item : fs::directory_iterator(folder, error)) {
        std::error_code ignored;
        fs::remove_all(item.path(), ignored);
    }
    return false;
}

}  // namespace orvello
