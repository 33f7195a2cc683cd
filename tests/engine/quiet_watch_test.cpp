// How long a recording has been quiet: 100 ms windows judged by the speech-end rule, counted
// across capture buffers of any size; each unbroken quiet run reports once, when it reaches the
// limit.
#include "engine/quiet_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

namespace orvello {
namespace {

constexpr std::size_t kWindow = kSpeechWindowSamples;
constexpr std::size_t kBuffer = 1'024;  // one capture buffer
constexpr float kQuiet = 0.0005f;
constexpr float kLoud = 0.3f;

struct Segment {
    float amplitude;
    std::size_t samples;
};

std::vector<float> Signal(const std::vector<Segment>& segments) {
    std::vector<float> samples;
    for (const Segment& segment : segments) {
        for (std::size_t i = 0; i < segment.samples; ++i) {
            samples.push_back(i % 2 == 0 ? segment.amplitude : -segment.amplitude);
        }
    }
    return samples;
}

TEST(QuietWatch, ReportsOnceWhenAnUnbrokenQuietRunReachesTheLimit) {
    struct Case {
        const char* name;
        std::vector<Segment> signal;
        std::vector<std::size_t> reportedAfter;  // samples fed when Append said so
    };
    const Case cases[] = {
        {"quiet from the start", {{kQuiet, 3 * kWindow}}, {3 * kWindow}},
        {"quiet that goes on reports once", {{kQuiet, 12 * kWindow}}, {5 * kBuffer}},
        {"too short", {{kQuiet, 3 * kWindow - 1}}, {}},
        {"a loud window starts the count again",
         {{kQuiet, 2 * kWindow}, {kLoud, kWindow}, {kQuiet, 3 * kWindow}},
         {6 * kWindow}},
        {"a second quiet run reports again",
         {{kQuiet, 3 * kWindow}, {kLoud, kWindow}, {kQuiet, 3 * kWindow}},
         {5 * kBuffer, 7 * kWindow}},
        {"a short sound makes its whole window loud",
         {{kQuiet, kWindow}, {kLoud, 100}, {kQuiet, 4 * kWindow - 100}},
         {5 * kWindow}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QuietWatch watch(ConditioningSettings{.enabled = true, .gateCloseLevel = 0.003f},
                         3 * kWindow);
        const std::vector<float> samples = Signal(c.signal);
        std::vector<std::size_t> reportedAfter;
        for (std::size_t fed = 0; fed < samples.size();) {
            const std::size_t portion = std::min(kBuffer, samples.size() - fed);
            const bool reached = watch.Append(std::span(samples).subspan(fed, portion));
            fed += portion;
            if (reached) reportedAfter.push_back(fed);
        }
        EXPECT_EQ(reportedAfter, c.reportedAfter);
    }
}

// A capture buffer longer than the whole limit still reports, once.
TEST(QuietWatch, OneLongPortionReportsOnce) {
    QuietWatch watch(ConditioningSettings{.enabled = false}, 2 * kWindow);
    const std::vector<float> quiet = Signal({{kQuiet, 10 * kWindow}});
    EXPECT_TRUE(watch.Append(quiet));
    EXPECT_FALSE(watch.Append(quiet));
}

}  // namespace
}  // namespace orvello
