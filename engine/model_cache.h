#pragma once
// The model cache: the prepared form of each of the model's networks, kept per machine. ONNX
// Runtime prepares the same weights at every load (graph optimisation, and above all repacking
// every int8 weight matrix into its kernels' layout). It can save the prepared graph once, with
// its weights, prepacked ones included, in an external data file; a later load of that file with
// optimisation off maps the weights from disk instead of preparing them again.
//
// One entry per network role (a folder named after the role), so only the current model's
// entries are kept. An entry is tied to the model file it was made from, the runtime's version
// and the processor's features (prepacked layouts depend on both), and is checked against all of
// them, and against its own files' sizes and contents, before it is used.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace orvello {

namespace fs = std::filesystem;

// What an entry was made from and for. Equal keys: the entry fits.
struct ModelCacheKey {
    std::string sourceName;  // the model file's name
    std::uintmax_t sourceSize = 0;
    long long sourceModified = 0;  // the file's last write time, in its clock's ticks
    std::string sourceSample;      // hash of a few slices of the file, not the whole file
    std::string runtimeVersion;
    std::string processor;
    int format = 0;
};

// The key of `source` (a network's model file) on this machine and runtime. Throws
// std::filesystem::filesystem_error when the file cannot be read.
[[nodiscard]] ModelCacheKey KeyOfModelFile(const fs::path& source,
                                           const std::string& runtimeVersion,
                                           const std::string& processor);

// The files of one entry, in a folder of its own.
struct ModelCacheEntryFiles {
    fs::path folder;
    [[nodiscard]] fs::path graph() const { return folder / "model.onnx"; }
    [[nodiscard]] fs::path data() const { return folder / "model.onnx.data"; }
    [[nodiscard]] fs::path manifest() const { return folder / "manifest.json"; }
};

class ModelCache {
public:
    // `folder` empty: the cache is off and every call does nothing.
    explicit ModelCache(fs::path folder) : folder_(std::move(folder)) {}

    [[nodiscard]] bool enabled() const { return !folder_.empty(); }

    // The entry of `role` when it is there and fits `key`. An entry that does not fit or is
    // damaged is removed, and a note says why in one line.
    [[nodiscard]] std::optional<ModelCacheEntryFiles> Find(const std::string& role,
                                                           const ModelCacheKey& key);

    // A fresh temporary folder to write the prepared form of `role` into, or nothing when it
    // cannot be made (then a note says why, and the cache stays off for the rest of this load).
    [[nodiscard]] std::optional<ModelCacheEntryFiles> BeginEntry(const std::string& role);
    // Completes a written entry: its manifest last, then the folder renamed into place, so that a
    // crash or a full disk never leaves an entry that a later load trusts. On failure the
    // temporary folder is removed and a note says why.
    void CommitEntry(const std::string& role, const ModelCacheEntryFiles& written,
                     const ModelCacheKey& key);
    // Removes a written entry that is not to be used, and an entry that could not be loaded.
    void Abandon(const ModelCacheEntryFiles& entry, const std::string& why);

    // A write into the cache failed: noted once, and nothing more is written during this load.
    void GiveUpWriting(const std::string& why);

    // One line each, for the log: entries removed and why, a write that failed.
    [[nodiscard]] const std::vector<std::string>& notes() const { return notes_; }

private:
    [[nodiscard]] fs::path EntryFolder(const std::string& role) const { return folder_ / role; }
    void Note(std::string line) { notes_.push_back(std::move(line)); }

    fs::path folder_;
    bool writeFailed_ = false;
    std::vector<std::string> notes_;
};

// Deletes the cache folder and everything in it. Returns false when something could not be
// deleted (a file in use); the rest is deleted all the same.
bool DeleteModelCache(const fs::path& folder);

// The user's own cache folder for Orvello's model cache: %LOCALAPPDATA%\Orvello\model-cache on
// Windows, $XDG_CACHE_HOME/orvello (or ~/.cache/orvello) elsewhere; empty when neither is known.
[[nodiscard]] fs::path DefaultModelCacheFolder();

}  // namespace orvello
