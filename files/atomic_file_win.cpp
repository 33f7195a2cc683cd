#include "files/atomic_file_win.h"

#include <algorithm>
#include <array>
#include <new>
#include <utility>

namespace orvello {
namespace {

constexpr std::wstring_view kTemporarySuffix = L".tmp";
constexpr DWORD kReadChunkBytes = 64 * 1024;
constexpr DWORD kWriteChunkBytes = 1024 * 1024;

// Owns a file handle from CreateFileW; move-only so that it is closed exactly once.
class UniqueFileHandle {
public:
    explicit UniqueFileHandle(HANDLE handle) : handle_(handle) {}
    UniqueFileHandle(const UniqueFileHandle&) = delete;
    UniqueFileHandle& operator=(const UniqueFileHandle&) = delete;
    UniqueFileHandle(UniqueFileHandle&& other) noexcept
        : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    UniqueFileHandle& operator=(UniqueFileHandle&& other) noexcept {
        if (this != &other) {
            (void)Close();
            handle_ = std::exchange(other.handle_, INVALID_HANDLE_VALUE);
        }
        return *this;
    }
    ~UniqueFileHandle() { (void)Close(); }

    [[nodiscard]] bool IsValid() const { return handle_ != INVALID_HANDLE_VALUE; }
    [[nodiscard]] HANDLE Get() const { return handle_; }

    // Closing can report a failed deferred write, so a writer checks it.
    [[nodiscard]] bool Close() {
        if (!IsValid()) return true;
        return ::CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE)) != FALSE;
    }

private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto chunkBytes =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size(), kWriteChunkBytes));
        DWORD writtenBytes = 0;
        if (!::WriteFile(file, bytes.data(), chunkBytes, &writtenBytes, nullptr)) return false;
        if (writtenBytes == 0) {
            ::SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        bytes.remove_prefix(writtenBytes);
    }
    return true;
}

// Writes the bytes to a new file and makes sure they have reached the disk
// before anyone renames the file into place.
bool WriteFlushedFile(const std::wstring& path, std::string_view bytes) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return false;
    if (!WriteAll(file.Get(), bytes)) return false;
    if (!::FlushFileBuffers(file.Get())) return false;
    return file.Close();
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::wstring& path) {
    const UniqueFileHandle file(::CreateFileW(
        path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) return std::nullopt;
    try {
        std::string bytes;
        std::array<char, kReadChunkBytes> chunk;
        DWORD readBytes = 0;
        do {
            if (!::ReadFile(file.Get(), chunk.data(), kReadChunkBytes, &readBytes, nullptr)) {
                return std::nullopt;
            }
            bytes.append(chunk.data(), readBytes);
        } while (readBytes > 0);
        return bytes;
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::wstring TemporaryPathFor(std::wstring_view targetPath) {
    std::wstring path(targetPath);
    path += kTemporarySuffix;
    return path;
}

bool WriteFileByRename(const std::wstring& targetPath, std::string_view bytes, DWORD moveFlags) {
    const std::wstring temporaryPath = TemporaryPathFor(targetPath);
    const bool written =
        WriteFlushedFile(temporaryPath, bytes) &&
        ::MoveFileExW(temporaryPath.c_str(), targetPath.c_str(), moveFlags) != FALSE;
    if (!written) {
        // The reason the user is told is the failure, not the clean-up.
        const DWORD error = ::GetLastError();
        (void)::DeleteFileW(temporaryPath.c_str());
        ::SetLastError(error);
    }
    return written;
}

bool NameIsFree(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace orvello
