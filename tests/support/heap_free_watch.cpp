#include "tests/support/heap_free_watch.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Each block starts with its size, so that a free can tell whether it covers the watched address.
constexpr std::size_t kHeaderSize = alignof(std::max_align_t);

std::atomic<const char*> g_watched{nullptr};
std::atomic<bool> g_watchedFreed{false};

}  // namespace

void* operator new(std::size_t size) {
    auto* block = static_cast<char*>(std::malloc(size + kHeaderSize));
    if (block == nullptr) throw std::bad_alloc();
    std::memcpy(block, &size, sizeof size);
    return block + kHeaderSize;
}
void operator delete(void* p) noexcept {
    if (p == nullptr) return;
    char* user = static_cast<char*>(p);
    std::size_t size = 0;
    std::memcpy(&size, user - kHeaderSize, sizeof size);
    const char* watched = g_watched.load();
    if (watched != nullptr && watched >= user && watched < user + size) g_watchedFreed = true;
    std::free(user - kHeaderSize);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace orvello::test {

void WatchHeapFree(const void* address) {
    g_watchedFreed = false;
    g_watched = static_cast<const char*>(address);
}

bool WatchedHeapBlockFreed() {
    return g_watchedFreed.load();
}

}  // namespace orvello::test
