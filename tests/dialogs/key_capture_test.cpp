// The key panels' capture: modifiers alone keep waiting, Escape abandons, any other key
// completes the chord with the modifiers held.
#include "dialogs/key_capture.h"

#include <gtest/gtest.h>

namespace orvello {
namespace {

TEST(KeyCapture, ModifierKeysAloneKeepWaiting) {
    for (std::uint16_t vk : {16, 17, 18, 91, 92, 160, 161, 162, 163, 164, 165}) {
        const CaptureDecision decision =
            DecideCapturedKey(vk, HeldModifiers{true, true, true, true});
        EXPECT_EQ(decision.outcome, CaptureOutcome::KeepWaiting) << vk;
    }
}

TEST(KeyCapture, EscapeAbandonsWhateverIsHeld) {
    EXPECT_EQ(DecideCapturedKey(27, {}).outcome, CaptureOutcome::Abandon);
    EXPECT_EQ(DecideCapturedKey(27, HeldModifiers{true, false, true, false}).outcome,
              CaptureOutcome::Abandon);
}

TEST(KeyCapture, AnyOtherKeyCompletesTheChordWithTheHeldModifiers) {
    const CaptureDecision save = DecideCapturedKey('S', HeldModifiers{true, false, true, false});
    EXPECT_EQ(save.outcome, CaptureOutcome::Complete);
    EXPECT_EQ(save.chord, (KeyStep{true, false, true, false, 'S'}));

    const CaptureDecision explorer =
        DecideCapturedKey('E', HeldModifiers{false, false, false, true});
    EXPECT_EQ(explorer.chord, (KeyStep{false, false, false, true, 'E'}));

    // Keys next to the modifier codes are ordinary keys: Pause (19), Apps (93), Browser Back (166).
    for (std::uint16_t vk : {19, 93, 166, 13, 9, 255})
        EXPECT_EQ(DecideCapturedKey(vk, {}).outcome, CaptureOutcome::Complete) << vk;
    EXPECT_EQ(DecideCapturedKey(13, {}).chord, (KeyStep{false, false, false, false, 13}));
}

}  // namespace
}  // namespace orvello
