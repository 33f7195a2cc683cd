// The microphone test's level loop on a scripted wave-input device: raw levels per buffer on the
// recording level's scale, the device's set-up and shut-down, and silent failure.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "audio/input_test.h"
#include "tests/audio/capture_test_support.h"

namespace orvello {
namespace {

constexpr WaveInResult kAllocated = 4;  // MMSYSERR_ALLOCATED: the device is in use

class InputLevelTest : public ::testing::Test {
protected:
    void Run() {
        RunInputLevelTest(device, kTestDeviceId, stop,
                          [this](int levelPercent) { levels.push_back(levelPercent); });
    }

    // The next wait returns these buffers, then the user stops the test.
    void ScriptStopDuringWait(std::vector<std::vector<std::byte>> returned = {}) {
        device.Script(
            {.returnedBuffers = std::move(returned), .duringWait = [this] { stop.store(true); }});
    }

    ScriptedWaveInDevice device;
    std::atomic<bool> stop{false};
    std::vector<int> levels;
};

TEST_F(InputLevelTest, ReportsTheRawLevelOfEveryBufferAsAPercentage) {
    device.ScriptReturnedBuffers({SampleBytes(Constant(0, 1024))});
    device.ScriptReturnedBuffers({SampleBytes(Constant(32767, 1024))});
    device.ScriptReturnedBuffers({SampleBytes(Constant(-1000, 1024))});  // 8 × 1000/32768 = 0.244
    ScriptStopDuringWait({SampleBytes(Constant(2048, 1024))});           // 8 × 1/16 = 0.5
    Run();

    EXPECT_EQ(levels, (std::vector<int>{0, 100, 24, 50}));
}

TEST_F(InputLevelTest, ASquareWaveAtFullScaleReadsOneHundred) {
    std::vector<std::int16_t> square(1024);
    for (std::size_t i = 0; i < square.size(); ++i) square[i] = (i / 8) % 2 ? 32767 : -32768;
    ScriptStopDuringWait({SampleBytes(square)});
    Run();

    EXPECT_EQ(levels, std::vector<int>{100});
}

TEST_F(InputLevelTest, OnlyWholeSamplesCountAndAnEmptyBufferReportsNothing) {
    device.ScriptReturnedBuffers({SampleBytes(Constant(4096, 3), 5)});  // two samples and a byte
    ScriptStopDuringWait({SampleBytes({}, 0)});
    Run();

    EXPECT_EQ(levels, std::vector<int>{100});
    EXPECT_EQ(InputLevelPercent(std::vector<std::int16_t>{}), 0);
}

TEST_F(InputLevelTest, SetsTheDeviceUpAndReleasesItInOrder) {
    ScriptStopDuringWait({SampleBytes(Constant(0, 1024))});
    Run();

    EXPECT_EQ(device.Calls(), Calls({kSetUpCalls, {"Wait 100", "Add 0"}, kShutDownCalls}));
    EXPECT_EQ(device.OpenedFormat()->samplesPerSecond, 16'000u);
    EXPECT_EQ(device.PreparedSizes(), std::vector<std::size_t>(4, 2048));
}

TEST_F(InputLevelTest, ADeviceThatCannotBeOpenedEndsTheTestAtOnceWithoutALevel) {
    device.openResult = kAllocated;
    Run();

    EXPECT_TRUE(levels.empty());
    EXPECT_EQ(device.Calls(), (std::vector<std::string>{"CreateEvent", "Open 3", "CloseEvent"}));
}

TEST_F(InputLevelTest, AnEventThatCannotBeCreatedEndsTheTestAtOnce) {
    device.eventCreationFails = true;
    Run();

    EXPECT_TRUE(levels.empty());
    EXPECT_EQ(device.Calls(), std::vector<std::string>{"CreateEvent"});
}

TEST_F(InputLevelTest, FailedQueueingAndStartingAreNotExamined) {
    device.addResults = {kAllocated};  // the first buffer never reaches the device
    device.startResult = kAllocated;
    ScriptStopDuringWait({SampleBytes(Constant(32767, 1024))});
    Run();

    EXPECT_EQ(levels, std::vector<int>{100});
}

TEST_F(InputLevelTest, AStopAlreadyRequestedReleasesTheDeviceWithoutWaiting) {
    stop.store(true);
    Run();

    EXPECT_EQ(device.Calls(), Calls({kSetUpCalls, kShutDownCalls}));
}

}  // namespace
}  // namespace orvello
