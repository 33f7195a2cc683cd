#pragma once
// Counts the blocks of the global operator new that are not yet deleted, in a test program that
// links live_heap_counter.cpp, which replaces the global allocator.

namespace orvello::test {

[[nodiscard]] long liveHeapBlocks();

}  // namespace orvello::test
