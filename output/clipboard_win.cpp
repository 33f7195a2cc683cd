#include "output/clipboard_win.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>
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

}  // namespace

ClipboardWriteResult WriteClipboardText(std::wstring_view text) {
    OpenedClipboard clipboard;
    if (!clipboard.IsOpen()) return ClipboardWriteResult::NotOpened;
    EmptyClipboard();
    GlobalBlock block((text.size() + 1) * sizeof(wchar_t));
    if (!block.Get() || !FillBlock(block, text)) return ClipboardWriteResult::NoMemory;
    if (!SetClipboardData(CF_UNICODETEXT, block.Get())) return ClipboardWriteResult::NotAccepted;
    block.HandOver();
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

}  // namespace orvello
