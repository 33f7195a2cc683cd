#pragma once
// Counts calls of the global operator new in a test program that links heap_allocation_counter.cpp,
// which replaces the global allocator.

namespace orvello::test {

[[nodiscard]] long heapAllocationCount();

}  // namespace orvello::test
