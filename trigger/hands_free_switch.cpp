#include "trigger/hands_free_switch.h"

namespace orvello {

TriggerMode triggerModeFromNumber(std::int32_t number) {
    switch (number) {
        case static_cast<std::int32_t>(TriggerMode::Auto):
            return TriggerMode::Auto;
        case static_cast<std::int32_t>(TriggerMode::Toggle):
            return TriggerMode::Toggle;
        default:
            return TriggerMode::Hold;
    }
}

DictationRequest HandsFreeSwitch::onPress(KeyTimeMs time) {
    switch (phase_) {
        case Phase::Idle:
            phase_ = Phase::Pressed;
            pressedAt_ = time;
            recording_ = mode_ != TriggerMode::Toggle;
            return recording_ ? DictationRequest::Start : DictationRequest::None;
        case Phase::HandsFree:
            phase_ = Phase::PressedDuringHandsFree;
            return DictationRequest::None;
        default:
            return DictationRequest::None;
    }
}

DictationRequest HandsFreeSwitch::onRelease(KeyTimeMs time, bool otherKeyPressed) {
    switch (phase_) {
        case Phase::Pressed:
            return releaseAfterPress(time, otherKeyPressed);
        case Phase::PressedDuringHandsFree:
            phase_ = otherKeyPressed ? Phase::HandsFree : Phase::Idle;
            return otherKeyPressed ? DictationRequest::None : DictationRequest::Stop;
        default:
            return DictationRequest::None;
    }
}

// Message times wrap around after 49.7 days; the unsigned difference is right across the wrap.
DictationRequest HandsFreeSwitch::releaseAfterPress(KeyTimeMs time, bool otherKeyPressed) {
    const bool tap = !otherKeyPressed && KeyTimeMs(time - pressedAt_) <= kTapMaxMs;
    phase_ = Phase::Idle;
    switch (mode_) {
        case TriggerMode::Auto:
            if (!tap || !recording_) return DictationRequest::Stop;
            phase_ = Phase::HandsFree;
            return DictationRequest::ContinueHandsFree;
        case TriggerMode::Toggle:
            if (!tap) return DictationRequest::None;
            phase_ = Phase::HandsFree;
            recording_ = true;
            return DictationRequest::StartHandsFree;
        default:
            return DictationRequest::Stop;
    }
}

void HandsFreeSwitch::startDeclined() {
    recording_ = false;
    if (phase_ == Phase::HandsFree) phase_ = Phase::Idle;
}

bool HandsFreeSwitch::endHandsFree() {
    if (!isHandsFree()) return false;
    phase_ = Phase::Idle;
    recording_ = false;
    return true;
}

bool HandsFreeSwitch::reset() {
    const bool mayRecord = isHandsFree() || (phase_ == Phase::Pressed && recording_);
    phase_ = Phase::Idle;
    recording_ = false;
    return mayRecord;
}

}  // namespace orvello
