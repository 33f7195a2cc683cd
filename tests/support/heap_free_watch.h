#pragma once
// Tells whether the heap block that holds an address has been freed, in a test program that links
// heap_free_watch.cpp, which replaces the global allocator.

namespace orvello::test {

// From now on, freeing the block of the global operator new that holds `address` is noted.
void WatchHeapFree(const void* address);
[[nodiscard]] bool WatchedHeapBlockFreed();

}  // namespace orvello::test
