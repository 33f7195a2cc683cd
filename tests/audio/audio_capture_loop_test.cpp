#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/audio/capture_test_support.h"
#include "tests/audio/reference_conditioning.h"
#include "tests/support/heap_free_watch.h"

namespace orvello {
namespace {

using CaptureLoop = CaptureFixture;

const std::vector<std::string> kWait{"Wait 100"};

std::vector<std::int16_t> Ramp(std::int16_t first, std::size_t count) {
    std::vector<std::int16_t> ramp(count);
    for (std::size_t i = 0; i < count; ++i) ramp[i] = static_cast<std::int16_t>(first + i);
    return ramp;
}

TEST_F(CaptureLoop, ReturnedBuffersAreAppendedAsScaledSamplesAndQueuedAgain) {
    const std::vector<std::int16_t> first = Ramp(-512, 1024);
    const std::vector<std::int16_t> second{32767, -32768, 0, 1, -1};
    device.ScriptReturnedBuffers({SampleBytes(first), SampleBytes(second)});
    ScriptStopDuringWait();

    const std::vector<float> recording = Capture();

    EXPECT_EQ(recording, Joined({Scaled(first), Scaled(second)}));
    EXPECT_EQ(recording[1024], 0.999969482421875f);  // 32767 / 32768
    EXPECT_EQ(recording[1025], -1.0f);
    EXPECT_EQ(device.Calls(),
              Calls({kSetUpCalls, kWait, {"Add 0", "Add 1"}, kWait, {"Wake"}, kShutDownCalls}));
}

// The device fills its buffers in queue order: 0 1 2 3 0 1 ... A pass that finds 3 and 0 both
// returned must append 3 first, or 64 ms of audio would be swapped.
TEST_F(CaptureLoop, BuffersReturnedAcrossTheWrapStayInTimeOrder) {
    std::vector<std::vector<float>> expected;
    std::vector<std::vector<std::byte>> firstPass;
    std::vector<std::vector<std::byte>> secondPass;
    for (std::int16_t chunk = 1; chunk <= 5; ++chunk) {
        const std::vector<std::int16_t> samples =
            Constant(static_cast<std::int16_t>(chunk * 100), 1024);
        (chunk <= 3 ? firstPass : secondPass).push_back(SampleBytes(samples));
        expected.push_back(Scaled(samples));
    }
    device.ScriptReturnedBuffers(firstPass);
    device.ScriptReturnedBuffers(secondPass);
    ScriptStopDuringWait();

    const std::vector<float> recording = Capture();

    EXPECT_EQ(recording, Joined({expected[0], expected[1], expected[2], expected[3], expected[4]}));
    EXPECT_EQ(device.Calls(), Calls({kSetUpCalls,
                                     kWait,
                                     {"Add 0", "Add 1", "Add 2"},
                                     kWait,
                                     {"Add 3", "Add 0"},
                                     kWait,
                                     {"Wake"},
                                     kShutDownCalls}));
}

TEST_F(CaptureLoop, OddRecordedByteCountIgnoresTheLastByte) {
    const std::vector<std::int16_t> samples{1000, -2000, 3000};
    device.ScriptReturnedBuffers({SampleBytes(samples, 5), SampleBytes(samples, 1)});
    ScriptStopDuringWait();

    EXPECT_EQ(Capture(), Scaled({1000, -2000}));
    // Mean square of 1000/32768 and 2000/32768, times 8 after the square root.
    EXPECT_EQ(levels.size(), 1u);
    EXPECT_NEAR(levels.at(0), 8.0 * std::sqrt((1e6 + 4e6) / 2.0) / 32768.0, 1e-6);
}

TEST_F(CaptureLoop, EmptyBufferReportsNoLevelButIsQueuedAgain) {
    device.ScriptReturnedBuffers({{}});
    ScriptStopDuringWait();
    EXPECT_TRUE(Capture().empty());
    EXPECT_TRUE(levels.empty());
    EXPECT_EQ(device.Calls(),
              Calls({kSetUpCalls, kWait, {"Add 0"}, kWait, {"Wake"}, kShutDownCalls}));
}

TEST_F(CaptureLoop, LevelIsEightTimesTheRmsOfEachBuffer) {
    // 1/32 RMS gives 0.25; 1/64 gives 0.125; -1/16 gives 0.5.
    device.ScriptReturnedBuffers(
        {SampleBytes(Constant(1024, 1024)), SampleBytes(Constant(512, 300))});
    ScriptStopDuringWait({SampleBytes(Constant(-2048, 1024))});
    (void)Capture();
    EXPECT_EQ(levels, (std::vector<float>{0.25f, 0.125f, 0.5f}));
}

TEST_F(CaptureLoop, SilentInputGivesZeroSamplesAndZeroLevelsAlsoWhenConditioned) {
    for (const bool conditioned : {false, true}) {
        SCOPED_TRACE(conditioned);
        ScriptedWaveInDevice silentDevice;
        CaptureStopFlag stopFlag;
        std::vector<float> silentLevels;
        silentDevice.ScriptReturnedBuffers({SampleBytes(Constant(0, 1024))});
        silentDevice.Script({.returnedBuffers = {SampleBytes(Constant(0, 1024))},
                             .duringWait = [&] { stopFlag.Set(); }});
        const std::vector<float> recording =
            AudioCapture(silentDevice)
                .Run(kTestDeviceId, {.enabled = conditioned}, stopFlag,
                     [&](float level) { silentLevels.push_back(level); });
        EXPECT_EQ(recording, std::vector<float>(2048, 0.0f));
        EXPECT_EQ(silentLevels, (std::vector<float>{0.0f, 0.0f}));
    }
}

TEST_F(CaptureLoop, FullScaleSquareWaveWithoutConditioningHasLevelOne) {
    std::vector<std::int16_t> square;
    for (int i = 0; i < 1024; ++i) square.push_back((i / 8) % 2 == 0 ? 32767 : -32768);
    ScriptStopDuringWait({SampleBytes(square)});
    (void)Capture();
    EXPECT_EQ(levels, (std::vector<float>{1.0f}));
}

// The filter and gate run on across buffer boundaries, and the level is taken from the
// conditioned samples: a DC step reads far lower than its raw level of 1.0.
TEST_F(CaptureLoop, ConditioningRunsAcrossBuffersAndTheLevelIsMeasuredAfterIt) {
    const std::vector<std::int16_t> dc = Constant(8192, 1024);  // 0.25 of full scale
    device.ScriptReturnedBuffers({SampleBytes(dc)});
    ScriptStopDuringWait({SampleBytes(dc)});

    const std::vector<float> recording = Capture(ConditioningSettings{});

    const std::vector<float> input = Joined({Scaled(dc), Scaled(dc)});
    const reference::ConditionedSignal expected = reference::Condition(input, {});
    EXPECT_EQ(recording, expected.output);
    ASSERT_EQ(levels.size(), 2u);
    double energy = 0.0;
    for (std::size_t i = 0; i < 1024; ++i)
        energy += double(expected.output[i]) * expected.output[i];
    EXPECT_NEAR(levels[0], 8.0 * std::sqrt(energy / 1024.0), 1e-5);
    EXPECT_LT(levels[0], 0.5f);
    EXPECT_LT(levels[1], 1e-3f);
}

TEST_F(CaptureLoop, EveryCaptureStartsWithAFreshFilterAndGate) {
    const std::vector<std::int16_t> dc = Constant(8192, 1024);
    const std::vector<float> expected = reference::Condition(Scaled(dc), {}).output;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        ScriptedWaveInDevice freshDevice;
        CaptureStopFlag stopFlag;
        freshDevice.Script(
            {.returnedBuffers = {SampleBytes(dc)}, .duringWait = [&] { stopFlag.Set(); }});
        EXPECT_EQ(AudioCapture(freshDevice).Run(kTestDeviceId, {}, stopFlag, {}), expected);
    }
}

TEST_F(CaptureLoop, BuffersReturnedDuringATimedOutWaitAreStillCollected) {
    device.Script({.result = BufferWaitResult::TimedOut});
    device.Script(
        {.result = BufferWaitResult::TimedOut, .returnedBuffers = {SampleBytes(Constant(-7, 10))}});
    ScriptStopDuringWait();
    EXPECT_EQ(Capture(), Scaled(Constant(-7, 10)));
    EXPECT_EQ(device.Calls(),
              Calls({kSetUpCalls, kWait, kWait, {"Add 0"}, kWait, {"Wake"}, kShutDownCalls}));
}

TEST_F(CaptureLoop, FailedWaitEndsTheCaptureWithoutLookingAtTheBuffers) {
    device.ScriptReturnedBuffers({SampleBytes(Constant(100, 1024))});
    device.Script({.result = BufferWaitResult::Failed,
                   .returnedBuffers = {SampleBytes(Constant(200, 1024))}});
    EXPECT_EQ(Capture(), Scaled(Constant(100, 1024)));
    EXPECT_EQ(levels.size(), 1u);
    EXPECT_EQ(device.Calls(), Calls({kSetUpCalls, kWait, {"Add 0"}, kWait, kShutDownCalls}));
}

TEST_F(CaptureLoop, RequeueFailureEndsTheCaptureAsStoppedKeepingTheSamplesSoFar) {
    device.addResults = {0, 0, 0, 0, 0, 6};  // set-up, buffer 0 again, then buffer 1 fails
    device.ScriptReturnedBuffers({SampleBytes(Constant(10, 1024)), SampleBytes(Constant(20, 1024)),
                                  SampleBytes(Constant(30, 1024))});

    const std::vector<float> recording = Capture();

    EXPECT_EQ(recording, Joined({Scaled(Constant(10, 1024)), Scaled(Constant(20, 1024))}));
    EXPECT_EQ(levels.size(), 2u);
    EXPECT_TRUE(stop.IsSet());
    EXPECT_EQ(device.Calls(),
              Calls({kSetUpCalls, kWait, {"Add 0", "Add 1", "Wake"}, kShutDownCalls}));
}

TEST_F(CaptureLoop, AudioStillHeldByTheDeviceAtShutDownIsDropped) {
    device.partialSamplesAtStop = 300;  // the buffer being filled, returned by the stop
    device.ScriptReturnedBuffers({SampleBytes(Constant(1, 1024))});
    ScriptStopDuringWait();
    // Reset returns the other queued buffers, full of held-back samples.
    EXPECT_EQ(Capture(), Scaled(Constant(1, 1024)));
    EXPECT_EQ(levels.size(), 1u);
}

// The driver writes into a queued buffer until it returns it; a device that can be neither reset
// nor closed may do so at any time, so its buffers must outlive the capture (and its event stay).
TEST_F(CaptureLoop, BuffersOfADeviceThatCannotBeResetAreNeverFreed) {
    device.resetResult = kUnprepared;
    device.Script({.duringWait = [this] {
        test::WatchHeapFree(device.HeldBufferMemory().data());
        stop.Set();
    }});
    auto capture = std::make_unique<AudioCapture>(device);
    EXPECT_TRUE(capture->Run(kTestDeviceId, kUnconditioned, stop, {}).empty());
    capture.reset();
    EXPECT_FALSE(test::WatchedHeapBlockFreed());
    EXPECT_EQ(device.Calls(), Calls({kSetUpCalls, kWait, {"Wake", "Stop", "Reset", "Close"}}));
}

TEST_F(CaptureLoop, CaptureWithoutLevelCallbackStillRecords) {
    ScriptStopDuringWait({SampleBytes(Constant(64, 1024))});
    const std::vector<float> recording =
        AudioCapture(device).Run(kTestDeviceId, kUnconditioned, stop, {});
    EXPECT_EQ(recording, Scaled(Constant(64, 1024)));
}

TEST_F(CaptureLoop, RecordingLongerThanThirtySecondsKeepsGrowing) {
    constexpr std::size_t kBufferCount = 470;  // 30.08 s
    std::vector<float> expected;
    for (std::size_t n = 0; n < kBufferCount; ++n) {
        const std::vector<std::int16_t> samples = Constant(static_cast<std::int16_t>(n), 1024);
        const std::vector<float> scaled = Scaled(samples);
        expected.insert(expected.end(), scaled.begin(), scaled.end());
        if (n + 1 < kBufferCount) {
            device.ScriptReturnedBuffers({SampleBytes(samples)});
        } else {
            ScriptStopDuringWait({SampleBytes(samples)});
        }
    }
    const std::vector<float> recording = Capture();
    EXPECT_EQ(recording.size(), 481'280u);
    EXPECT_EQ(recording, expected);
    EXPECT_EQ(levels.size(), kBufferCount);
}

}  // namespace
}  // namespace orvello
