// The dictation trigger's modes through the tracker: what a tap, a hold, a tap followed by a hold,
// another key with the trigger, a second keyboard, the command trigger, a declined start, a reset
// and a stop from elsewhere ask of the owner in Hold, Auto and Toggle mode.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "tracker_fixture.h"

namespace orvello::test {
namespace {

using enum TriggerMode;

struct Step {
    enum class Kind { Key, Reset, StopHandsFree } kind = Kind::Key;
    ModifierKey key = ModifierKey::Unknown;
    bool isDown = false;
    KeyTimeMs atMs = 0;
    DeviceHandle keyboard = kKeyboardA;
};

Step Down(ModifierKey key, KeyTimeMs atMs, DeviceHandle keyboard = kKeyboardA) {
    return {Step::Kind::Key, key, true, atMs, keyboard};
}
Step Up(ModifierKey key, KeyTimeMs atMs, DeviceHandle keyboard = kKeyboardA) {
    return {Step::Kind::Key, key, false, atMs, keyboard};
}
const Step kReset{Step::Kind::Reset};
const Step kStopHandsFree{Step::Kind::StopHandsFree};

// Which triggers a case runs with: Right Ctrl on any keyboard, Right Ctrl bound to keyboard A
// ("Use Multiple Keyboards"), or Right Ctrl with the command trigger Right Ctrl + Right Alt.
enum class Triggers { AnyKeyboard, OnKeyboardA, Split };

struct Case {
    const char* name;
    TriggerMode mode;
    Triggers triggers;
    std::vector<Step> steps;
    Calls expected;
    bool handsFreeAtEnd = false;
    bool declineStarts = false;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const Calls kTapStarts{"start dictation", "hands-free"};
const Calls kTapStartsTapEnds{"start dictation", "hands-free", "stop"};

const Case kCases[] = {
    {"Hold: a tap records and stops like a hold",
     Hold,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100)},
     {"start dictation", "stop"}},
    {"Auto: a tap goes on hands-free",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100)},
     kTapStarts,
     true},
    {"Auto: the next tap ends it, starting nothing",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), Down(RC, 5000), Up(RC, 5100)},
     kTapStartsTapEnds},
    {"Auto: a hold is a hold",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 800)},
     {"start dictation", "stop"}},
    {"Auto: released at 300 ms is a tap",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 1000), Up(RC, 1300)},
     kTapStarts,
     true},
    {"Auto: released at 301 ms is a hold",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 1000), Up(RC, 1301)},
     {"start dictation", "stop"}},
    {"Auto: a tap across the message clock's wrap",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0xFFFF'FF00), Up(RC, 0x10)},
     kTapStarts,
     true},
    {"Auto: auto-repeat of the trigger is no other key",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Down(RC, 30), Down(RC, 60), Up(RC, 100)},
     kTapStarts,
     true},
    {"Auto: tap, then a hold ends it at the release",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), Down(RC, 3000), Up(RC, 9000)},
     kTapStartsTapEnds},
    {"Auto: a letter with the trigger makes no tap",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Down(Letter, 40), Up(Letter, 60), Up(RC, 100)},
     {"start dictation", "stop"}},
    {"Auto: another modifier with the trigger makes no tap",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Down(LS, 40), Up(RC, 100), Up(LS, 120)},
     {"start dictation", "stop"}},
    {"Auto: a key on another keyboard does not spoil the tap",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Down(Letter, 40, kKeyboardB), Up(RC, 100)},
     kTapStarts,
     true},
    {"Auto: a shortcut with the trigger does not end hands-free",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), Down(RC, 2000), Down(Letter, 2050), Up(Letter, 2080), Up(RC, 2100)},
     kTapStarts,
     true},
    {"Auto: a tap on another keyboard ends it (any keyboard)",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), Down(RC, 2000, kKeyboardB), Up(RC, 2100, kKeyboardB)},
     kTapStartsTapEnds},
    {"Auto: with Use Multiple Keyboards another keyboard's tap does nothing",
     Auto,
     Triggers::OnKeyboardA,
     {Down(RC, 0), Up(RC, 100), Down(RC, 2000, kKeyboardB), Up(RC, 2100, kKeyboardB)},
     kTapStarts,
     true},
    {"Auto: with Use Multiple Keyboards the trigger keyboard's tap ends it",
     Auto,
     Triggers::OnKeyboardA,
     {Down(RC, 0), Up(RC, 100), Down(RC, 2000, kKeyboardB), Up(RC, 2100, kKeyboardB),
      Down(RC, 3000), Up(RC, 3100)},
     kTapStartsTapEnds},
    {"Auto: the command trigger stays hold-to-talk",
     Auto,
     Triggers::Split,
     {Down(RA, 0), Down(RC, 10), Up(RC, 100), Up(RA, 110)},
     {"start command", "stop"}},
    {"Auto: the command trigger is not watched while hands-free",
     Auto,
     Triggers::Split,
     {Down(RC, 0), Up(RC, 100), Down(RA, 2000), Down(RC, 2010), Up(RC, 2100), Up(RA, 2110)},
     kTapStarts,
     true},
    {"Auto: a declined start does not go hands-free",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100)},
     {"start dictation", "stop"},
     false,
     true},
    {"Auto: a reset during hands-free stops it",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), kReset},
     kTapStartsTapEnds},
    {"Auto: after a reset a tap starts afresh",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), kReset, Down(RC, 4000), Up(RC, 4100)},
     {"start dictation", "hands-free", "stop", "start dictation", "hands-free"},
     true},
    {"Auto: a stop from elsewhere ends hands-free",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), kStopHandsFree},
     kTapStartsTapEnds},
    {"Auto: a stop from elsewhere during the ending press leaves its release idle",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), Down(RC, 2000), kStopHandsFree, Up(RC, 2100)},
     kTapStartsTapEnds},
    {"Auto: a stop from elsewhere while none runs does nothing",
     Auto,
     Triggers::AnyKeyboard,
     {Down(RC, 0), kStopHandsFree, Up(RC, 800)},
     {"start dictation", "stop"}},
    {"Toggle: a tap starts at its release",
     Toggle,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100)},
     kTapStarts,
     true},
    {"Toggle: the next tap ends it",
     Toggle,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), Down(RC, 5000), Up(RC, 5100)},
     kTapStartsTapEnds},
    {"Toggle: a hold does nothing", Toggle, Triggers::AnyKeyboard, {Down(RC, 0), Up(RC, 800)}, {}},
    {"Toggle: a letter with the trigger does nothing",
     Toggle,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Down(Letter, 40), Up(RC, 100)},
     {}},
    {"Toggle: a declined start leaves the next tap a start",
     Toggle,
     Triggers::AnyKeyboard,
     {Down(RC, 0), Up(RC, 100), Down(RC, 2000), Up(RC, 2100)},
     {"start dictation", "start dictation"},
     false,
     true},
    {"Toggle: a reset while the trigger is down stops nothing",
     Toggle,
     Triggers::AnyKeyboard,
     {Down(RC, 0), kReset, Up(RC, 100)},
     {}},
};

class TriggerModes : public TrackerTest, public ::testing::WithParamInterface<Case> {
protected:
    void setTriggers(Triggers triggers) {
        if (triggers == Triggers::OnKeyboardA) {
            setDictationOn({RC}, kIdentityA);
            return;
        }
        setDictation({RC});
        if (triggers == Triggers::Split) setCommand({RC, RA});
    }

    void run(const Step& step) {
        switch (step.kind) {
            case Step::Kind::Key:
                nowMs = step.atMs;
                key(step.keyboard, step.key, step.isDown);
                break;
            case Step::Kind::Reset:
                tracker->reset();
                break;
            case Step::Kind::StopHandsFree:
                (void)tracker->stopHandsFree();
                break;
        }
    }
};

TEST_P(TriggerModes, AskTheOwnerForWhatTheModeMeans) {
    const Case& c = GetParam();
    setTriggers(c.triggers);
    tracker->setTriggerMode(c.mode);
    owner.declineStarts = c.declineStarts;
    for (const Step& step : c.steps) run(step);
    EXPECT_EQ(owner.take(), c.expected);
    EXPECT_EQ(tracker->isHandsFree(), c.handsFreeAtEnd);
}

INSTANTIATE_TEST_SUITE_P(Cases, TriggerModes, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& info) {
                             return "case" + std::to_string(info.index);
                         });

TEST(TriggerModeNumbers, StoredNumbersBecomeModesAndUnknownOnesHold) {
    const std::pair<std::int32_t, TriggerMode> cases[] = {
        {0, Hold}, {1, Auto}, {2, Toggle}, {3, Hold}, {-1, Hold}};
    for (const auto& [number, mode] : cases) EXPECT_EQ(triggerModeFromNumber(number), mode);
}

}  // namespace
}  // namespace orvello::test
