#include "files/user_file_win.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>  // SHGetKnownFolderPath, KF_FLAG_CREATE; needs windows.h first
// clang-format on

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <utility>

namespace orvello {
namespace {

constexpr std::wstring_view kOrvelloFolderName = L"\\Orvello";
constexpr std::wstring_view kTemporarySuffix = L".tmp";
constexpr std::wstring_view kBackupSuffix = L".bak";
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

struct CoTaskMemDeleter {
    void operator()(wchar_t* memory) const { ::CoTaskMemFree(memory); }
};
using CoTaskMemString = std::unique_ptr<wchar_t, CoTaskMemDeleter>;

std::wstring DocumentsFolder() {
    PWSTR folder = nullptr;
    const HRESULT result =
        ::SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_CREATE, nullptr, &folder);
    // The shell's buffer is freed whether or not the call succeeded.
    const CoTaskMemString owned(folder);
    if (FAILED(result) || folder == nullptr) return {};
    return std::wstring(folder);
}

// Readers share everything, so a file another program has open can still be read.
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

// The target shows either its old bytes or the new ones, never a part: the new
// text is complete on disk before a single rename puts it in place.
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

// Only "nothing there" counts as free; a name we cannot even inspect is left alone.
bool NameIsFree(const std::wstring& path) {
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Windows refuses to rename over a read-only file and Wine does not; asking first
// makes a user's read-only mark protect the file everywhere.
bool IsReadOnlyFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

enum class BackupSlotState { HoldsTheseBytes, Free, Occupied };

BackupSlotState InspectBackupSlot(const std::wstring& slotPath, std::string_view bytes) {
    if (NameIsFree(slotPath)) return BackupSlotState::Free;
    const std::optional<std::string> slotBytes = ReadWholeFile(slotPath);
    if (slotBytes && *slotBytes == bytes) return BackupSlotState::HoldsTheseBytes;
    return BackupSlotState::Occupied;
}

struct BackupSlot {
    std::wstring path;
    bool holdsTheseBytes = false;
};

// The first slot that is free or already holds these bytes; none when every slot holds
// something else.
std::optional<BackupSlot> FindBackupSlot(const std::wstring& filePath, std::string_view bytes) {
    for (int index = 0; index < kMaxFileBackups; ++index) {
        std::wstring slotPath = BackupPathFor(filePath, index);
        switch (InspectBackupSlot(slotPath, bytes)) {
            case BackupSlotState::HoldsTheseBytes:
                return BackupSlot{std::move(slotPath), true};
            case BackupSlotState::Free:
                return BackupSlot{std::move(slotPath), false};
            case BackupSlotState::Occupied:
                break;
        }
    }
    return std::nullopt;
}

// The steps of a save leave the reason of their failure in GetLastError().
UserFileSaveResult FailedSave() {
    const DWORD error = ::GetLastError();
    return {error != ERROR_SUCCESS ? error : DWORD(ERROR_WRITE_FAULT)};
}

}  // namespace

std::wstring OrvelloDocumentsFilePath(std::wstring_view fileName) {
    std::wstring path = DocumentsFolder();
    if (path.empty()) return {};
    path += kOrvelloFolderName;
    // Usually the folder exists already; any real problem shows when the file is used.
    (void)::CreateDirectoryW(path.c_str(), nullptr);
    path += L'\\';
    path += fileName;
    return path;
}

UserFileContent ReadUserFile(const std::wstring& path) {
    if (path.empty()) return {UserFileState::Unreadable, {}};
    if (std::optional<std::string> bytes = ReadWholeFile(path)) {
        return {UserFileState::Read, std::move(*bytes)};
    }
    return {NameIsFree(path) ? UserFileState::Absent : UserFileState::Unreadable, {}};
}

std::wstring TemporaryPathFor(std::wstring_view targetPath) {
    std::wstring path(targetPath);
    path += kTemporarySuffix;
    return path;
}

std::wstring BackupPathFor(std::wstring_view filePath, int index) {
    std::wstring path(filePath);
    if (index > 0) path += L"." + std::to_wstring(index);
    path += kBackupSuffix;
    return path;
}

std::optional<std::wstring> NextBackupPath(const std::wstring& filePath, std::string_view bytes) {
    std::optional<BackupSlot> slot = FindBackupSlot(filePath, bytes);
    if (!slot) return std::nullopt;
    return std::move(slot->path);
}

bool BackUpUnreadFile(const std::wstring& filePath) {
    const std::optional<std::string> bytes = ReadWholeFile(filePath);
    if (!bytes) return NameIsFree(filePath);
    const std::optional<BackupSlot> slot = FindBackupSlot(filePath, *bytes);
    if (!slot) {
        ::SetLastError(ERROR_ALREADY_EXISTS);
        return false;
    }
    // No replace flag: an earlier backup is never overwritten, even by a race.
    return slot->holdsTheseBytes || WriteFileByRename(slot->path, *bytes, MOVEFILE_WRITE_THROUGH);
}

UserFileSaveResult SaveUserFile(const std::wstring& path, std::string_view bytes,
                                bool backUpFirst) {
    if (path.empty()) return {ERROR_PATH_NOT_FOUND};
    // What Windows itself answers to a rename over a read-only file.
    if (IsReadOnlyFile(path)) return {ERROR_ACCESS_DENIED};
    if (backUpFirst && !BackUpUnreadFile(path)) return FailedSave();
    if (!WriteFileByRename(path, bytes, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return FailedSave();
    }
    return {};
}

}  // namespace orvello
