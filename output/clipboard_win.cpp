#include "output/clipboard_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <new>
#include <optional>
#include <span>
#include <utility>

namespace orvello {

namespace {

// The clipboard, opened without an owner window, for one operation.
class OpenedClipboard {
public:
    OpenedClipboard() : opened_(OpenClipboard(nullptr) != FALSE) {}
    ~OpenedClipboard() {
        if (opened_) CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

    [[nodiscard]] bool IsOpen() const { return opened_; }

private:
    bool opened_;
};

// A movable global memory block, freed unless the clipboard has taken it over.
class GlobalBlock {
public:
    explicit GlobalBlock(SIZE_T sizeBytes) : block_(GlobalAlloc(GMEM_MOVEABLE, sizeBytes)) {}
    ~GlobalBlock() {
        if (block_) GlobalFree(block_);
    }
    GlobalBlock(GlobalBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
    GlobalBlock& operator=(GlobalBlock&&) = delete;

    [[nodiscard]] HGLOBAL Get() const { return block_; }
    // After a successful SetClipboardData the clipboard owns the block.
    void HandOver() { block_ = nullptr; }

private:
    HGLOBAL block_;
};

// Copies the text and a terminating NUL into the block; false when it cannot be locked.
bool FillBlock(const GlobalBlock& block, std::wstring_view text) {
    auto* units = static_cast<wchar_t*>(GlobalLock(block.Get()));
    if (!units) return false;
    text.copy(units, text.size());
    units[text.size()] = L'\0';
    GlobalUnlock(block.Get());
    return true;
}

// Puts a copy of the bytes on the open clipboard in the format; false when it was not taken.
bool PutBlock(UINT format, std::span<const std::byte> bytes) {
    // A block of no bytes cannot be locked; one byte more is harmless to every reader.
    GlobalBlock block(std::max<SIZE_T>(bytes.size(), 1));
    if (!block.Get()) return false;
    void* target = GlobalLock(block.Get());
    if (!target) return false;
    if (!bytes.empty()) std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(block.Get());
    if (!SetClipboardData(format, block.Get())) return false;
    block.HandOver();
    return true;
}

// Clipboard history and the cloud clipboard skip content that carries these; a system without
// them (before Windows 10 1809) ignores them.
void MarkKeptOutOfHistory() {
    const DWORD no = 0;
    for (const wchar_t* name : {L"ExcludeClipboardContentFromMonitorProcessing",
                                L"CanIncludeInClipboardHistory", L"CanUploadToCloudClipboard"}) {
        const UINT format = RegisterClipboardFormatW(name);
        if (format != 0) (void)PutBlock(format, std::as_bytes(std::span(&no, 1)));
    }
}

// Formats whose data is a handle to something other than a block of memory (bitmaps, metafiles,
// palettes, private handles): a copy of their bytes would mean nothing.
bool IsHandleFormat(UINT format) {
    switch (format) {
        case CF_BITMAP:
        case CF_METAFILEPICT:
        case CF_PALETTE:
        case CF_ENHMETAFILE:
        case CF_OWNERDISPLAY:
        case CF_DSPBITMAP:
        case CF_DSPMETAFILEPICT:
        case CF_DSPENHMETAFILE:
            return true;
        default:
            return format >= CF_PRIVATEFIRST && format <= CF_PRIVATELAST;
    }
}

// A bitmap is also there as a device-independent bitmap, which is saved instead.
bool HasMemoryTwin(UINT format) {
    return format == CF_BITMAP &&
           (IsClipboardFormatAvailable(CF_DIB) || IsClipboardFormatAvailable(CF_DIBV5));
}

std::optional<std::vector<std::byte>> CopyBlock(HANDLE data) {
    const SIZE_T size = GlobalSize(data);
    const auto* bytes = static_cast<const std::byte*>(GlobalLock(data));
    if (!bytes) return std::nullopt;
    std::optional<std::vector<std::byte>> copy;
    try {
        copy.emplace(bytes, bytes + size);
    } catch (const std::bad_alloc&) {
        copy.reset();
    }
    GlobalUnlock(data);
    return copy;
}

void SaveFormat(UINT format, SavedClipboard& saved) {
    if (IsHandleFormat(format)) {
        if (!HasMemoryTwin(format)) saved.leftOut.push_back(format);
        return;
    }
    HANDLE data = GetClipboardData(format);
    std::optional<std::vector<std::byte>> bytes;
    if (data) bytes = CopyBlock(data);
    if (!bytes) {
        saved.leftOut.push_back(format);
        return;
    }
    saved.formats.push_back({format, std::move(*bytes)});
}

struct StandardFormatName {
    UINT format;
    const wchar_t* name;
};

constexpr StandardFormatName kStandardFormatNames[] = {
    {CF_BITMAP, L"CF_BITMAP"},
    {CF_METAFILEPICT, L"CF_METAFILEPICT"},
    {CF_PALETTE, L"CF_PALETTE"},
    {CF_ENHMETAFILE, L"CF_ENHMETAFILE"},
    {CF_OWNERDISPLAY, L"CF_OWNERDISPLAY"},
    {CF_DSPBITMAP, L"CF_DSPBITMAP"},
    {CF_DSPMETAFILEPICT, L"CF_DSPMETAFILEPICT"},
    {CF_DSPENHMETAFILE, L"CF_DSPENHMETAFILE"},
};

}  // namespace

ClipboardWriteResult WriteClipboardText(std::wstring_view text, ClipboardHistory history) {
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen()) return ClipboardWriteResult::NotOpened;
    EmptyClipboard();
    GlobalBlock block((text.size() + 1) * sizeof(wchar_t));
    if (!block.Get() || !FillBlock(block, text)) return ClipboardWriteResult::NoMemory;
    if (!SetClipboardData(CF_UNICODETEXT, block.Get())) return ClipboardWriteResult::NotAccepted;
    block.HandOver();
    if (history == ClipboardHistory::Excluded) MarkKeptOutOfHistory();
    return ClipboardWriteResult::Placed;
}

std::wstring ReadClipboardText(std::size_t maxUnits) {
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen()) return {};
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (!data) return {};
    const auto* units = static_cast<const wchar_t*>(GlobalLock(data));
    if (!units) return {};
    // Another program may have put text without its terminating NUL on the clipboard: the
    // search for the end stays inside the block.
    const std::size_t blockUnits = GlobalSize(data) / sizeof(wchar_t);
    std::wstring text(units, wcsnlen(units, std::min(maxUnits, blockUnits)));
    GlobalUnlock(data);
    return text;
}

bool ClearClipboard() {
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen()) return false;
    EmptyClipboard();
    return true;
}

SavedClipboard SaveClipboard() {
    SavedClipboard saved;
    OpenedClipboard clipboard;
    saved.opened = clipboard.IsOpen();
    if (!saved.opened) return saved;
    for (UINT format = EnumClipboardFormats(0); format != 0;
         format = EnumClipboardFormats(format)) {
        SaveFormat(format, saved);
    }
    return saved;
}

RestoreAttempt RestoreClipboard(const std::vector<SavedClipboardFormat>& formats,
                                std::uint32_t expectedSequence) {
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen()) return RestoreAttempt::NotOpened;
    if (GetClipboardSequenceNumber() != expectedSequence) return RestoreAttempt::ChangedMeanwhile;
    EmptyClipboard();
    bool everyFormat = true;
    for (const SavedClipboardFormat& saved : formats) {
        everyFormat = PutBlock(saved.format, saved.bytes) && everyFormat;
    }
    return everyFormat ? RestoreAttempt::Restored : RestoreAttempt::PartlyRestored;
}

std::wstring SavedClipboardText(const std::vector<SavedClipboardFormat>& formats,
                                std::size_t maxUnits) {
    const auto text = std::find_if(formats.begin(), formats.end(), [](const auto& saved) {
        return saved.format == CF_UNICODETEXT;
    });
    if (text == formats.end()) return {};
    std::wstring units(std::min(maxUnits, text->bytes.size() / sizeof(wchar_t)), L'\0');
    std::memcpy(units.data(), text->bytes.data(), units.size() * sizeof(wchar_t));
    units.resize(wcsnlen(units.c_str(), units.size()));
    return units;
}

std::wstring ClipboardFormatName(UINT format) {
    wchar_t name[256] = {};
    if (GetClipboardFormatNameW(format, name, int(std::size(name))) > 0) return name;
    for (const StandardFormatName& standard : kStandardFormatNames) {
        if (standard.format == format) return standard.name;
    }
    return L"format " + std::to_wstring(format);
}

}  // namespace orvello
