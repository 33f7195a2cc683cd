#include "controls/overlay_status.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "controls/overlay_geometry.h"

namespace orvello {

float ShapeOverlayLevel(std::uint64_t rawLevel) {
    const float level =
        std::clamp(static_cast<float>(rawLevel) / kOverlayRawLevelScale, 0.0f, 1.0f);
    return std::pow(level, kOverlayLevelShapeExponent);
}

std::u16string_view OverlayTextFor(OverlayState state) {
    return state == OverlayState::Starting ? kOverlayStartingText : kOverlayListeningText;
}

bool OverlayDrawsBars(OverlayState state, const std::deque<float>& history) {
    return state != OverlayState::Starting && !history.empty();
}

void OverlayStatus::Hide() {
    state_ = OverlayState::Hidden;
    levelHistory_.clear();
    handsFreeText_.clear();
    liveText_.clear();
}

void OverlayStatus::ShowStarting() {
    state_ = OverlayState::Starting;
    levelHistory_.clear();
    handsFreeText_.clear();
    liveText_.clear();
}

void OverlayStatus::ShowListening() {
    levelHistory_.assign(kOverlayBarCount, 0.0f);
    state_ = OverlayState::Listening;
    handsFreeText_.clear();
    liveText_.clear();
}

bool OverlayStatus::ShowLiveText(std::u16string text) {
    if (state_ != OverlayState::Listening || text == liveText_) return false;
    liveText_ = std::move(text);
    return true;
}

void OverlayStatus::ShowHandsFree(std::u16string text) {
    if (state_ != OverlayState::Listening) ShowListening();
    handsFreeText_ = std::move(text);
}

bool OverlayStatus::PushLevel(std::uint64_t rawLevel) {
    if (state_ != OverlayState::Listening) return false;
    if (levelHistory_.size() >= static_cast<std::size_t>(kOverlayBarCount)) {
        levelHistory_.pop_front();
    }
    levelHistory_.push_back(ShapeOverlayLevel(rawLevel));
    return true;
}

}  // namespace orvello
