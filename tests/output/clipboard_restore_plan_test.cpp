// When the user's clipboard goes back after a paste, from the clipboard's sequence numbers.
#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "output/clipboard_restore_plan.h"

namespace orvello {
namespace {

TEST(ClipboardRestorePlan, OnlyTheUsersOwnContentIsSavedAndOnlyADictationIsReplaced) {
    ClipboardRestorePlan plan;
    EXPECT_TRUE(plan.MustSave(5));  // nothing pasted yet
    EXPECT_FALSE(plan.HoldsDictation(5));

    plan.Pasted(7);
    EXPECT_TRUE(plan.Pending());
    EXPECT_TRUE(plan.HoldsDictation(7));
    // A second paste while the first dictation is still there keeps the content saved before it.
    EXPECT_FALSE(plan.MustSave(7));
    // Something else has put its content there: that is the user's now, to be saved anew.
    EXPECT_TRUE(plan.MustSave(8));
    EXPECT_FALSE(plan.HoldsDictation(8));

    EXPECT_EQ(plan.Attempted(RestoreAttempt::Restored), RestoreNext::Finished);
    EXPECT_FALSE(plan.Pending());
    EXPECT_FALSE(plan.HoldsDictation(7));
    EXPECT_TRUE(plan.MustSave(7));
}

TEST(ClipboardRestorePlan, EveryAttemptEndsTheRestoreExceptABusyClipboardWhileTriesAreLeft) {
    constexpr std::size_t kTries = ClipboardRestorePlan::kOpenAttempts;
    const struct {
        std::vector<RestoreAttempt> attempts;
        RestoreNext last;
    } cases[] = {
        {{RestoreAttempt::Restored}, RestoreNext::Finished},
        {{RestoreAttempt::PartlyRestored}, RestoreNext::Finished},
        {{RestoreAttempt::ChangedMeanwhile}, RestoreNext::Finished},
        {{RestoreAttempt::NotOpened}, RestoreNext::RetrySoon},
        {std::vector(kTries - 1, RestoreAttempt::NotOpened), RestoreNext::RetrySoon},
        {std::vector(kTries, RestoreAttempt::NotOpened), RestoreNext::GiveUp},
        {{RestoreAttempt::NotOpened, RestoreAttempt::Restored}, RestoreNext::Finished},
    };
    for (const auto& c : cases) {
        ClipboardRestorePlan plan;
        plan.Pasted(1);
        RestoreNext next = RestoreNext::Finished;
        for (const RestoreAttempt attempt : c.attempts) next = plan.Attempted(attempt);
        EXPECT_EQ(next, c.last) << c.attempts.size() << " attempts";
        EXPECT_EQ(plan.Pending(), c.last == RestoreNext::RetrySoon);
    }
    // A new paste starts the count of busy tries afresh.
    ClipboardRestorePlan plan;
    plan.Pasted(1);
    for (int i = 1; i < kTries; ++i) (void)plan.Attempted(RestoreAttempt::NotOpened);
    plan.Pasted(2);
    EXPECT_EQ(plan.Attempted(RestoreAttempt::NotOpened), RestoreNext::RetrySoon);
}

}  // namespace
}  // namespace orvello
