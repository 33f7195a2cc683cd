// When a draft starts, when one can be reused and when a running one is of no more use.
#include <gtest/gtest.h>

#include <vector>

#include "engine/draft_policy.h"

namespace orvello {
namespace {

constexpr std::size_t kWindow = kSpeechWindowSamples;

PartSpeech Part(std::uint64_t part, std::size_t speechWindows, std::size_t quietWindows) {
    return {.key = {.part = part, .speechEnd = speechWindows * kWindow},
            .quietAfter = quietWindows * kWindow,
            .partSamples = (speechWindows + quietWindows) * kWindow};
}

// Each case: the drafts started before (in order), then the state asked about.
TEST(DraftPolicy, StartsAtTheFirstQuietWindowOfUncoveredSpeechWhileTheWorkerIsIdle) {
    struct Case {
        const char* what;
        std::vector<PartSpeech> earlier;
        PartSpeech now;
        bool workerIdle;
        bool start;
    };
    const Case cases[] = {
        {"first pause", {}, Part(0, 20, 1), true, true},
        {"no quiet window yet", {}, Part(0, 20, 0), true, false},
        {"worker busy", {}, Part(0, 20, 3), false, false},
        {"no speech", {}, Part(0, 0, 30), true, false},
        {"same audio again", {Part(0, 20, 1)}, Part(0, 20, 9), true, false},
        {"more speech since", {Part(0, 20, 1)}, Part(0, 30, 1), true, true},
        {"a new part", {Part(0, 20, 1)}, Part(1, 20, 1), true, true},
        // Earlier drafts of the part cover 10 + 20 + 40 windows, more than the 60 asked about:
        // only a long pause (5 windows) starts another; a new part starts with nothing spent.
        {"over the budget",
         {Part(0, 10, 1), Part(0, 20, 1), Part(0, 40, 1)},
         Part(0, 60, 4),
         true,
         false},
        {"over the budget, long pause",
         {Part(0, 10, 1), Part(0, 20, 1), Part(0, 40, 1)},
         Part(0, 60, 5),
         true,
         true},
        {"within the budget", {Part(0, 10, 1), Part(0, 20, 1)}, Part(0, 30, 1), true, true},
        {"budget of a new part",
         {Part(0, 10, 1), Part(0, 20, 1), Part(0, 40, 1)},
         Part(1, 5, 1),
         true,
         true},
    };
    for (const Case& c : cases) {
        DraftPolicy policy;
        for (const PartSpeech& earlier : c.earlier) policy.Started(earlier);
        EXPECT_EQ(policy.ShouldStart(c.now, c.workerIdle), c.start) << c.what;
    }
}

TEST(DraftPolicy, ReusesADraftOnlyForTheSameAudioAndStopsItOnNewSpeechInItsPart) {
    struct Case {
        DraftKey draft;
        DraftKey handedOver;
        bool reuse;
    };
    const Case reuses[] = {
        {{0, 3 * kWindow}, {0, 3 * kWindow}, true},
        {{0, 3 * kWindow}, {0, 4 * kWindow}, false},      // speech after the draft's
        {{0, 3 * kWindow}, {0, 3 * kWindow + 5}, false},  // in the last, partial window
        {{0, 3 * kWindow}, {1, 3 * kWindow}, false},      // another part
        {{0, 0}, {0, 0}, false},                          // nothing to say
    };
    for (const Case& c : reuses) {
        EXPECT_EQ(CanReuseDraft(c.draft, c.handedOver), c.reuse)
            << c.draft.speechEnd << " against " << c.handedOver.speechEnd;
    }
    const DraftKey draft{.part = 1, .speechEnd = 20 * kWindow};
    EXPECT_FALSE(DraftOutdated(draft, Part(1, 20, 7)));  // still quiet
    EXPECT_TRUE(DraftOutdated(draft, Part(1, 21, 0)));   // new speech
    EXPECT_FALSE(DraftOutdated(draft, Part(2, 1, 0)));   // cut: the handed-over part decides
}

// Windows are judged once they are whole, from the part's start; a cut starts counting afresh.
TEST(DraftPolicy, TracksTheSpeechEndOfThePartWindowByWindow) {
    std::vector<float> part(5 * kWindow + 10, 0.0f);
    for (std::size_t i = kWindow; i < 2 * kWindow; ++i) part[i] = 0.2f;  // window 1 speaks
    part[5 * kWindow + 3] = 1.0f;  // the partial window is not judged yet
    PartSpeechTracker tracker({.enabled = false});
    tracker.Update(std::span(part).first(kWindow + 7));
    EXPECT_EQ(tracker.Now().key.speechEnd, 0u);
    tracker.Update(part);
    EXPECT_EQ(tracker.Now().key, (DraftKey{.part = 0, .speechEnd = 2 * kWindow}));
    EXPECT_EQ(tracker.Now().quietAfter, 3 * kWindow);
    tracker.StartNextPart();
    tracker.Update(std::span(part).first(kWindow));
    EXPECT_EQ(tracker.Now().key, (DraftKey{.part = 1, .speechEnd = 0}));
    EXPECT_EQ(tracker.Now().quietAfter, kWindow);
}

}  // namespace
}  // namespace orvello
