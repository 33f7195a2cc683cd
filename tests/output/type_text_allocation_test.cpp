// Typing a text makes exactly one allocation, for its event list, however long the text.
// The program counts allocations with a replaced global allocator.
#include <gtest/gtest.h>

#include <string>

#include "output/text_events.h"
#include "tests/support/heap_allocation_counter.h"

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
        const long before = heapAllocationCount();
        EXPECT_TRUE(TypeText(text, sender));
        EXPECT_EQ(heapAllocationCount() - before, 1) << repeats << " repeats";
        EXPECT_EQ(sender.calls, 1);
        EXPECT_EQ(sender.sent, 2 * (text.size() - repeats));  // every code unit but CR
    }
}

}  // namespace
}  // namespace orvello::test
