// A recording delivers exactly the same whether its text came from drafts at pauses or from fresh
// runs after the parts were handed over: the same text, the same callbacks in the same order,
// the same status lines. The real engine on the demo model transcribes two phrases espeak-ng
// speaks at build time; each case is recorded once with drafts and once without.
#include <gtest/gtest.h>

#include <algorithm>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "engine/recognition_service.h"
#include "tests/engine/service_test_support.h"
#include "tools/wav_file.h"

namespace orvello {
namespace {

using test::CallbackLog;

constexpr std::size_t kSamplesPerSecond = 16'000;

// What the microphone hears, in order: a phrase (all of it or its beginning), quiet, or a wait
// until the recording has had `drafts` drafts (with drafts on), so a draft is done by then.
struct Step {
    enum Kind { kPhrase, kQuiet, kDraftsDone } kind;
    int phrase = 0;       // 0: "send the report before friday", 1: "the weather is nice today"
    double amount = 1.0;  // of the phrase, or seconds of quiet
    std::size_t drafts = 0;
};

Step Phrase(int phrase, double share = 1.0) {
    return {.kind = Step::kPhrase, .phrase = phrase, .amount = share};
}
Step Quiet(double seconds) {
    return {.kind = Step::kQuiet, .amount = seconds};
}
Step DraftsDone(std::size_t drafts) {
    return {.kind = Step::kDraftsDone, .drafts = drafts};
}

struct Case {
    const char* name;
    std::vector<Step> steps;
    bool cancelInDraft = false;  // else the trigger is released after the last step
    int partsFromDrafts = -1;    // with drafts on; -1: depends on the timing
};

struct Outcome {
    std::vector<std::string> lines;  // without the drafts and the levels above 0
    std::vector<float> levels;
    std::vector<std::string> linesWithDrafts;
    std::vector<std::string> texts;
    TranscriptionTally tally{};
    bool busyAfterCancel = false;
};

class DraftEquality : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        for (const char* name : {"first.wav", "second.wav"}) {
            phrases_.push_back(ReadWav16kMono(fs::path(ORVELLO_TEST_SPEECH) / name));
        }
    }

    // Scripts the device with the case's audio; a draft wait lets the capture go on only once
    // the recording has had that many drafts.
    void Script(ScriptedWaveInDevice& device, const Case& c, CallbackLog& log, bool drafts) {
        std::vector<std::int16_t> pcm;
        for (const Step& step : c.steps) {
            if (step.kind == Step::kPhrase) {
                const std::vector<std::int16_t>& phrase = phrases_[step.phrase];
                const auto end = static_cast<std::ptrdiff_t>(phrase.size() * step.amount);
                pcm.insert(pcm.end(), phrase.begin(), phrase.begin() + end);
            } else if (step.kind == Step::kQuiet) {
                pcm.resize(pcm.size() + std::size_t(step.amount * kSamplesPerSecond), 0);
            } else {
                test::ScriptBuffers(device, std::exchange(pcm, {}));
                device.Script(ScriptedWait{.duringWait = [&log, drafts, n = step.drafts] {
                    if (drafts) EXPECT_TRUE(log.WaitForDrafts(n)) << "draft " << n;
                }});
            }
        }
        test::ScriptPlayback(device, pcm);
    }

    // A cancel comes while the worker is still in the draft: its callback waits for the cancel.
    Outcome Record(const Case& c, bool drafts) {
        test::DeviceShelf shelf;
        RecognitionService service({.modelDirectory = ORVELLO_DEMO_MODEL, .draftsAtPauses = drafts},
                                   shelf.Factory());
        ScriptedWaveInDevice& device = shelf.Add<ScriptedWaveInDevice>();
        CallbackLog log;
        Script(device, c, log, drafts);
        std::promise<void> cancelled;
        RecognitionCallbacks callbacks = log.Callbacks();
        if (c.cancelInDraft) {
            callbacks.onDraftText = [logged = callbacks.onDraftText,
                                     done = cancelled.get_future().share()](const auto& text) {
                logged(text);
                done.wait();
            };
        }
        service.StartRecording(0, callbacks);
        device.WaitUntilBlocked();
        Outcome outcome;
        if (c.cancelInDraft) {
            if (drafts) EXPECT_TRUE(log.WaitForDrafts(1));
            service.Cancel();
            outcome.busyAfterCancel = service.IsBusy();
            cancelled.set_value();
        } else {
            service.StopRecording();
        }
        EXPECT_TRUE(log.WaitFor("finished"));
        EXPECT_TRUE(test::Eventually([&] { return !service.IsBusy(); }));
        outcome.lines = log.LinesWithoutLevels();
        outcome.levels = log.Levels();
        outcome.linesWithDrafts = log.LinesWithDrafts();
        outcome.texts = log.Texts();
        outcome.tally = service.Tally();
        return outcome;
    }

    static inline std::vector<std::vector<std::int16_t>> phrases_;
};

// The last draft's text so far is the text, and it came before it.
void ExpectTheTextDraftedFirst(const Outcome& outcome) {
    ASSERT_EQ(outcome.texts.size(), 1u);
    const auto& lines = outcome.linesWithDrafts;
    const auto text = std::find(lines.begin(), lines.end(), "text " + outcome.texts[0]);
    const auto draft = std::find(lines.begin(), lines.end(), "draft " + outcome.texts[0]);
    EXPECT_LT(draft, text);
}

TEST_F(DraftEquality, DeliversTheSameWhetherTheTextCameFromADraftOrAFreshRun) {
    const Case cases[] = {
        {"ends in a pause", {Phrase(0), Quiet(1.0), DraftsDone(1)}, false, 1},
        {"released during the pause's draft", {Phrase(0), Quiet(0.6)}, false, -1},
        {"ends mid-word", {Phrase(0), Quiet(0.8), DraftsDone(1), Phrase(1, 0.6)}, false, 0},
        {"cancelled in a draft", {Phrase(0), Quiet(1.0)}, true, 0},
        {"cut in a draft's quiet",
         {Phrase(0), Quiet(1.0), DraftsDone(1), Quiet(29.0), Phrase(1), Quiet(1.0), DraftsDone(2)},
         false,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome fresh = Record(c, false);
        const Outcome drafted = Record(c, true);
        EXPECT_EQ(drafted.lines, fresh.lines);
        EXPECT_EQ(drafted.levels, fresh.levels);
        EXPECT_EQ(fresh.tally.draftsRun, 0);
        if (c.partsFromDrafts >= 0) {
            // A release during the pause may come before its draft has started (a slow build).
            EXPECT_GE(drafted.tally.draftsRun, 1);
            EXPECT_EQ(drafted.tally.partsFromDrafts, c.partsFromDrafts);
        }
        if (c.cancelInDraft) {
            EXPECT_FALSE(drafted.busyAfterCancel);
            EXPECT_TRUE(drafted.texts.empty());
            continue;
        }
        ASSERT_EQ(fresh.texts.size(), 1u) << ::testing::PrintToString(fresh.lines);
        if (c.partsFromDrafts > 0) ExpectTheTextDraftedFirst(drafted);
    }
}

}  // namespace
}  // namespace orvello
