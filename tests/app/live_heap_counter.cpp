#include "tests/app/live_heap_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> g_liveBlocks{0};
}

void* operator new(std::size_t size) {
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        ++g_liveBlocks;
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    if (!p) return;
    --g_liveBlocks;
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace orvello::test {

long liveHeapBlocks() {
    return g_liveBlocks.load();
}

}  // namespace orvello::test
