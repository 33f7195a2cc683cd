// Typing a text makes exactly one allocation, for its event list, however long the text.
// This program replaces the global allocator to count.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "output/text_events.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace orvello::test {
namespace {

class CountingSender final : public KeyboardInputSender {
public:
    [[nodiscard]] std::size_t Send(std::span<const KeyboardInput> events) override {
        ++calls;
        sent += events.size();
        return events.size();
    }
    int calls = 0;
    std::size_t sent = 0;
};

TEST(TypeTextAllocation, OneAllocationAndOneBatchForAnyLength) {
    for (std::size_t repeats : {1u, 100u, 10'000u}) {
        std::u16string text;
        for (std::size_t i = 0; i < repeats; ++i) text += u"Zeile \U0001F600\t\u00E9\r\n";
        CountingSender sender;
        const long before = g_allocations.load();
        EXPECT_TRUE(TypeText(text, sender));
        EXPECT_EQ(g_allocations.load() - before, 1) << repeats << " repeats";
        EXPECT_EQ(sender.calls, 1);
        EXPECT_EQ(sender.sent, 2 * (text.size() - repeats));  // every code unit but CR
    }
}

}  // namespace
}  // namespace orvello::test
