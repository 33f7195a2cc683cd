#pragma once
// CKeyMapStatic: the six trigger modifiers drawn as two keyboard halves, the
// trigger's keys in blue and the keys held right now in red. It attaches to an
// owner-draw static of a dialog template and paints when its parent receives
// WM_DRAWITEM (the window layer hands that to DrawItem). It takes no input.
#include <span>
#include <vector>

#include "trigger/modifier_key.h"
#include "ui/controls.h"

namespace orvello {

class CKeyMapStatic : public ui::CStatic {
public:
    // Shows `keys` as the trigger. An unchanged list (same values, same order) does
    // not repaint; any other replaces the list and invalidates the control.
    void SetTriggerKeys(std::span<const ModifierKey> keys);
    // Shows `keys` as held right now (duplicates allowed); repaints like SetTriggerKeys.
    void SetPressedKeys(std::span<const ModifierKey> keys);

    [[nodiscard]] const std::vector<ModifierKey>& TriggerKeys() const { return triggerKeys_; }
    [[nodiscard]] const std::vector<ModifierKey>& PressedKeys() const { return pressedKeys_; }

    void DrawItem(const DRAWITEMSTRUCT& draw) override;

private:
    void Replace(std::vector<ModifierKey>& list, std::span<const ModifierKey> keys);

    std::vector<ModifierKey> triggerKeys_;
    std::vector<ModifierKey> pressedKeys_;
};

}  // namespace orvello
