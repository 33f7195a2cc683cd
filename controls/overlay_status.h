#pragma once
// What the status overlay shows: its state, the shaped level history of the bar graph, while a
// recording goes on hands-free the hint shown instead of "Listening", and the text so far of
// the recording, when there is any and it is to be shown. The window follows this
// record; level messages change it only while listening.

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

namespace orvello {

enum class OverlayState : std::int32_t { Hidden = 0, Starting = 1, Listening = 2 };

inline constexpr std::u16string_view kOverlayStartingText = u"Orvello Starting";
inline constexpr std::u16string_view kOverlayListeningText = u"Listening";

// Level messages carry the level × 1000 as an unsigned integer.
inline constexpr float kOverlayRawLevelScale = 1000.0f;
// Displayed value = clamp(level, 0, 1) ^ 0.6, which lifts quiet speech.
inline constexpr float kOverlayLevelShapeExponent = 0.6f;

[[nodiscard]] float ShapeOverlayLevel(std::uint64_t rawLevel);

// Any state but Starting paints like Listening.
[[nodiscard]] std::u16string_view OverlayTextFor(OverlayState state);
[[nodiscard]] bool OverlayDrawsBars(OverlayState state, const std::deque<float>& history);

class OverlayStatus {
public:
    void Hide();
    void ShowStarting();
    // Starts a graph of 24 resting bars.
    void ShowListening();
    // The recording goes on without the trigger held: the graph goes on (a fresh one unless
    // listening already) under `text` instead of "Listening", until Hide or another Show.
    void ShowHandsFree(std::u16string text);
    // The recording's text so far, over the graph; until Hide or another Show but hands-free.
    // False (nothing changed) unless listening.
    [[nodiscard]] bool ShowLiveText(std::u16string text);
    // Appends one shaped level, dropping the oldest beyond 24. False (nothing changed) unless
    // listening.
    [[nodiscard]] bool PushLevel(std::uint64_t rawLevel);

    [[nodiscard]] OverlayState State() const { return state_; }
    [[nodiscard]] std::u16string_view Text() const {
        return handsFreeText_.empty() ? OverlayTextFor(state_) : handsFreeText_;
    }
    [[nodiscard]] const std::deque<float>& LevelHistory() const { return levelHistory_; }
    // Empty unless listening with some text so far.
    [[nodiscard]] const std::u16string& LiveText() const { return liveText_; }

private:
    OverlayState state_ = OverlayState::Hidden;
    std::deque<float> levelHistory_;  // index 0 is the oldest
    std::u16string handsFreeText_;    // empty unless hands-free
    std::u16string liveText_;
};

}  // namespace orvello
