#include "dialogs/key_sequence_list.h"

#include <utility>

namespace orvello {

void KeySequenceList::Load(const std::vector<KeyStep>& steps) {
    steps_ = steps;
    if (steps_.empty()) steps_.push_back(KeyStep{});
    selection_ = 0;
}

void KeySequenceList::Select(int row) {
    selection_ = row >= 0 && row < Count() ? row : kNoSelection;
}

void KeySequenceList::Add() {
    steps_.push_back(KeyStep{});
    selection_ = Count() - 1;
}

bool KeySequenceList::Remove() {
    if (!CanRemove()) return false;
    steps_.erase(steps_.begin() + selection_);
    if (selection_ >= Count()) selection_ = Count() - 1;
    return true;
}

bool KeySequenceList::MoveUp() {
    return CanMoveUp() && SwapSelectedWith(selection_ - 1);
}

bool KeySequenceList::MoveDown() {
    return CanMoveDown() && SwapSelectedWith(selection_ + 1);
}

bool KeySequenceList::SwapSelectedWith(int other) {
    std::swap(steps_[std::size_t(selection_)], steps_[std::size_t(other)]);
    selection_ = other;
    return true;
}

bool KeySequenceList::ReplaceSelected(const KeyStep& chord) {
    if (!HasSelection()) return false;
    steps_[std::size_t(selection_)] = chord;
    return true;
}

std::u16string StepRowText(std::size_t index, std::u16string_view stepText) {
    const std::string number = std::to_string(index + 1);
    return std::u16string(number.begin(), number.end()) + u": " + std::u16string(stepText);
}

}  // namespace orvello
