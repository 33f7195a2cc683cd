#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "output/key_step.h"
#include "output/keyboard_input.h"

namespace orvello {

// Four modifier presses and the key, then their releases.
inline constexpr std::size_t kMaxKeyStepEvents = 10;

// The events of one key step, held without touching the heap.
class KeyStepEvents {
public:
    void Append(const KeyboardInput& event) { events_[count_++] = event; }
    [[nodiscard]] std::span<const KeyboardInput> View() const& { return {events_.data(), count_}; }
    // A view of a temporary would dangle.
    std::span<const KeyboardInput> View() const&& = delete;

private:
    std::array<KeyboardInput, kMaxKeyStepEvents> events_{};
    std::size_t count_ = 0;
};

// The presses of a step: Ctrl, Alt, Shift, Win (each with its generic key, Win always the
// left one) and the key; then the releases in mirror order. None carries a scan code or
// the extended-key flag. An empty step (vk 0) has no events, whatever its modifiers.
[[nodiscard]] KeyStepEvents BuildKeyStepEvents(const KeyStep& step);

// A media or volume key: down then up, both flagged as extended keys.
[[nodiscard]] std::array<KeyboardInput, 2> BuildMediaKeyEvents(std::uint16_t virtualKey);

// Sends one step as one batch. True when every event was taken, and for an empty step,
// which sends nothing.
[[nodiscard]] bool SendKeyStep(const KeyStep& step, KeyboardInputSender& sender);

// Sends the steps in order, one batch each, without pausing between them. A refused step
// does not stop the rest; the result is true only when every step succeeded.
[[nodiscard]] bool SendKeySteps(std::span<const KeyStep> steps, KeyboardInputSender& sender);

// True when both events were taken.
[[nodiscard]] bool SendMediaKey(std::uint16_t virtualKey, KeyboardInputSender& sender);

}  // namespace orvello
