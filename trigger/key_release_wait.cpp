#include "trigger/key_release_wait.h"

#include <algorithm>
#include <thread>

namespace orvello {
namespace {

constexpr std::chrono::milliseconds kPollInterval{5};

}  // namespace

bool WaitForKeysUp(std::span<const ModifierKey> keys, const PhysicalKeyDown& isDown,
                   std::chrono::milliseconds longest) {
    const auto deadline = std::chrono::steady_clock::now() + longest;
    for (;;) {
        if (std::none_of(keys.begin(), keys.end(), isDown)) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace orvello
