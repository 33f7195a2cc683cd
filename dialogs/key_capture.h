#pragma once
// What one key press means to the key panels while they capture a chord: modifier keys
// alone are ignored (the user is still building the chord), Escape abandons the capture,
// and any other key completes it with the modifiers held at that moment.
#include <cstdint>
#include <optional>

#include "output/key_step.h"

namespace orvello {

// Generic modifiers held when the key went down (from GetAsyncKeyState on Windows).
struct HeldModifiers {
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool win = false;  // either Windows key; it is sent as the left one
};

enum class CaptureOutcome { KeepWaiting, Abandon, Complete };

struct CaptureDecision {
    CaptureOutcome outcome = CaptureOutcome::KeepWaiting;
    KeyStep chord;  // set when the outcome is Complete
};

[[nodiscard]] CaptureDecision DecideCapturedKey(std::uint16_t virtualKey,
                                                const HeldModifiers& held);

}  // namespace orvello
