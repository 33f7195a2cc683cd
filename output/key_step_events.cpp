#include "output/key_step_events.h"

namespace orvello {

namespace {

struct ModifierKeyOfStep {
    bool KeyStep::*held;
    std::uint16_t virtualKey;
};

// Press order; releases go the other way round.
constexpr std::array<ModifierKeyOfStep, 4> kModifierPressOrder = {{
    {&KeyStep::ctrl, virtual_key::kControl},
    {&KeyStep::alt, virtual_key::kMenu},
    {&KeyStep::shift, virtual_key::kShift},
    {&KeyStep::win, virtual_key::kLeftWin},
}};

}  // namespace

KeyStepEvents BuildKeyStepEvents(const KeyStep& step) {
    KeyStepEvents events;
    if (step.IsEmpty()) return events;
    for (const auto& modifier : kModifierPressOrder) {
        if (step.*modifier.held) events.Append(VirtualKeyEvent(modifier.virtualKey, 0));
    }
    events.Append(VirtualKeyEvent(step.vk, 0));
    events.Append(VirtualKeyEvent(step.vk, kKeyEventKeyUp));
    for (auto it = kModifierPressOrder.rbegin(); it != kModifierPressOrder.rend(); ++it) {
        if (step.*it->held) events.Append(VirtualKeyEvent(it->virtualKey, kKeyEventKeyUp));
    }
    return events;
}

std::array<KeyboardInput, 2> BuildMediaKeyEvents(std::uint16_t virtualKey) {
    return {
        VirtualKeyEvent(virtualKey, kKeyEventExtendedKey),
        VirtualKeyEvent(virtualKey, kKeyEventExtendedKey | kKeyEventKeyUp),
    };
}

bool SendKeyStep(const KeyStep& step, KeyboardInputSender& sender) {
    if (step.IsEmpty()) return true;
    const KeyStepEvents events = BuildKeyStepEvents(step);
    return sender.Send(events.View()) == events.View().size();
}

bool SendKeySteps(std::span<const KeyStep> steps, KeyboardInputSender& sender) {
    bool allSent = true;
    for (const KeyStep& step : steps) {
        if (!SendKeyStep(step, sender)) allSent = false;
    }
    return allSent;
}

bool SendMediaKey(std::uint16_t virtualKey, KeyboardInputSender& sender) {
    const auto events = BuildMediaKeyEvents(virtualKey);
    return sender.Send(events) == events.size();
}

}  // namespace orvello
