#pragma once
// The Key Sequence panel's working list of key steps and its selected row, with the list
// editing the panel's buttons offer. The panel mirrors it into its list box after every
// change; the list itself knows nothing of windows.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "output/key_step.h"

namespace orvello {

class KeySequenceList {
public:
    static constexpr int kNoSelection = -1;

    // Takes the command's steps; an empty list gets one empty step. Selects row 0.
    void Load(const std::vector<KeyStep>& steps);

    [[nodiscard]] const std::vector<KeyStep>& Steps() const { return steps_; }
    [[nodiscard]] int Count() const { return int(steps_.size()); }
    [[nodiscard]] int Selection() const { return selection_; }
    [[nodiscard]] bool HasSelection() const { return selection_ >= 0 && selection_ < Count(); }
    // The selected step; only when HasSelection().
    [[nodiscard]] const KeyStep& Selected() const { return steps_[std::size_t(selection_)]; }

    // A row picked in the list box; anything outside the list clears the selection.
    void Select(int row);

    // Appends an empty step and selects it. There is no upper limit.
    void Add();
    // Removes the selected step while at least two remain; selects the same row, or the
    // new last row when the last was removed. False when nothing changed.
    bool Remove();
    // Swap the selected step with its neighbour and keep it selected; false at an end.
    bool MoveUp();
    bool MoveDown();
    // Puts a captured chord in place of the selected step; false with no selection.
    bool ReplaceSelected(const KeyStep& chord);

    // Which buttons apply now; "Add" always does.
    [[nodiscard]] bool CanRemove() const { return HasSelection() && Count() > 1; }
    [[nodiscard]] bool CanMoveUp() const { return HasSelection() && selection_ > 0; }
    [[nodiscard]] bool CanMoveDown() const { return HasSelection() && selection_ < Count() - 1; }
    [[nodiscard]] bool CanCapture() const { return HasSelection(); }

private:
    bool SwapSelectedWith(int other);

    std::vector<KeyStep> steps_;
    int selection_ = kNoSelection;
};

// The list box row of the step at zero-based `index`, given the step's display text:
// "1: Ctrl+C", or "1: (none)" for an empty step.
[[nodiscard]] std::u16string StepRowText(std::size_t index, std::u16string_view stepText);

}  // namespace orvello
