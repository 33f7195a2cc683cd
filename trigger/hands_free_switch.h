#pragma once

#include <cstdint>

#include "trigger/keyboard_event.h"

namespace orvello {

// How the dictation trigger records. Hold: while it is held. Auto: while it is held, or, after a
// tap, hands-free until the next tap. Toggle: every tap starts or ends a recording. Stored as
// these numbers; the command trigger always records while it is held.
enum class TriggerMode : std::int32_t { Hold = 0, Auto = 1, Toggle = 2 };

// The stored number as a mode; anything unknown is Hold.
[[nodiscard]] TriggerMode triggerModeFromNumber(std::int32_t number);

// A tap: the trigger released at most this long after it became held, with no other key pressed
// on its keyboard meanwhile.
inline constexpr KeyTimeMs kTapMaxMs = 300;

// What the owner is asked to do after a change of the dictation trigger.
enum class DictationRequest {
    None,
    Start,              // start a recording now (a press in Hold or Auto)
    Stop,               // stop the recording and transcribe it
    ContinueHandsFree,  // the recording started by the press goes on after the release
    StartHandsFree,     // start a recording that goes on after the release (Toggle)
};

// The dictation trigger's timing: turns the moments it becomes held and is released into
// requests, by the mode. Times come with the events, never from a clock, so the rules run the
// same in tests. A press in Auto starts recording at once, as in Hold, so that nothing said
// right away is lost; when its release turns out to end a tap, that same recording simply goes
// on hands-free. In Toggle nothing records until a tap is complete. While a recording runs
// hands-free, the next release of the trigger ends it, unless another key was pressed with it
// (a shortcut such as Ctrl+C), and the press before that release starts nothing.
class HandsFreeSwitch {
public:
    void setMode(TriggerMode mode) { mode_ = mode; }
    [[nodiscard]] TriggerMode mode() const { return mode_; }

    // The trigger became held at `time`.
    [[nodiscard]] DictationRequest onPress(KeyTimeMs time);
    // The trigger was released at `time`; `otherKeyPressed`: some other key went down on its
    // keyboard meanwhile, or the release was not one (its keyboard was removed).
    [[nodiscard]] DictationRequest onRelease(KeyTimeMs time, bool otherKeyPressed);
    // The owner did not start the recording asked for (no engine, busy, no device): nothing
    // records and nothing goes hands-free.
    void startDeclined();

    // Ends a hands-free recording from elsewhere (the tray, long quiet, its capture ended): true
    // when one ran. A trigger still held then starts nothing when it is released.
    [[nodiscard]] bool endHandsFree();
    // Forgets everything; true when a recording this switch asked for may still run.
    [[nodiscard]] bool reset();

    [[nodiscard]] bool isHandsFree() const {
        return phase_ == Phase::HandsFree || phase_ == Phase::PressedDuringHandsFree;
    }

private:
    enum class Phase { Idle, Pressed, HandsFree, PressedDuringHandsFree };

    [[nodiscard]] DictationRequest releaseAfterPress(KeyTimeMs time, bool otherKeyPressed);

    TriggerMode mode_ = TriggerMode::Hold;
    Phase phase_ = Phase::Idle;
    KeyTimeMs pressedAt_ = 0;
    bool recording_ = false;  // a recording was started for the current press
};

}  // namespace orvello
