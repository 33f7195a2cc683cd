#pragma once
// Waiting for trigger keys to be physically up. Orvello learns of its trigger keys from raw
// input; before it types a text or sends a key chord it also asks the keyboard's physical state,
// because a key still held (people lift the keys of a two-key trigger one after the other) would
// join the chord: Ctrl+Z would reach the window as Ctrl+Alt+Z.
#include <chrono>
#include <functional>
#include <span>

#include "trigger/modifier_key.h"

namespace orvello {

// Whether a key is physically held now; on Windows the asynchronous key state.
using PhysicalKeyDown = std::function<bool(ModifierKey key)>;

inline constexpr std::chrono::milliseconds kLongestKeyReleaseWait{1000};

// Returns once none of `keys` is held (true), or after `longest` with a key still held (false).
[[nodiscard]] bool WaitForKeysUp(std::span<const ModifierKey> keys, const PhysicalKeyDown& isDown,
                                 std::chrono::milliseconds longest = kLongestKeyReleaseWait);

}  // namespace orvello
