#pragma once
// A keyboard input sender that keeps every batch it is given, and can be told to insert
// only part of a batch, as SendInput does when a higher-integrity window has the focus.
#include <cstddef>
#include <map>
#include <span>
#include <vector>

#include "output/keyboard_input.h"

namespace orvello::test {

class RecordingSender final : public KeyboardInputSender {
public:
    // The batch with this index (counted from 0) is reported as only partly inserted.
    void InsertOnly(std::size_t batchIndex, std::size_t insertedCount) {
        inserted_[batchIndex] = insertedCount;
    }

    [[nodiscard]] std::size_t Send(std::span<const KeyboardInput> events) override {
        batches.emplace_back(events.begin(), events.end());
        const auto limit = inserted_.find(batches.size() - 1);
        return limit == inserted_.end() ? events.size() : limit->second;
    }

    std::vector<std::vector<KeyboardInput>> batches;

private:
    std::map<std::size_t, std::size_t> inserted_;
};

}  // namespace orvello::test
