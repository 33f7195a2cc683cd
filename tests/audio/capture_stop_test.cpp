#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "audio/capture_stop_flag.h"
#include "tests/audio/capture_test_support.h"

namespace orvello {
namespace {

TEST(CaptureStopFlag, SetAndClearWithoutWaiter) {
    CaptureStopFlag flag;
    EXPECT_FALSE(flag.IsSet());
    flag.Set();
    EXPECT_TRUE(flag.IsSet());
    flag.Clear();
    EXPECT_FALSE(flag.IsSet());
}

TEST(CaptureStopFlag, SetWakesTheRegisteredWaiterOnlyWhileRegistered) {
    CaptureStopFlag flag;
    int wakes = 0;
    bool flagSeenByWaker = false;
    {
        const auto registration = flag.RegisterWaker([&] {
            ++wakes;
            flagSeenByWaker = flag.IsSet();
        });
        flag.Set();
        EXPECT_EQ(wakes, 1);
        EXPECT_TRUE(flagSeenByWaker);  // a woken loop must find the flag already set
    }
    flag.Set();
    EXPECT_EQ(wakes, 1);
}

TEST(CaptureStopFlag, MovedRegistrationLastsUntilItsNewOwnerEnds) {
    CaptureStopFlag flag;
    int wakes = 0;
    CaptureStopFlag::WakeRegistration outer;
    {
        CaptureStopFlag::WakeRegistration inner = flag.RegisterWaker([&] { ++wakes; });
        outer = std::move(inner);
    }
    flag.Set();
    EXPECT_EQ(wakes, 1);
    outer = CaptureStopFlag::WakeRegistration();
    flag.Set();
    EXPECT_EQ(wakes, 1);
}

using CaptureStop = CaptureFixture;

// A stop during a wait still lets the loop make one more pass over the buffers returned by then.
TEST_F(CaptureStop, StopDuringAWaitKeepsTheBuffersReturnedByThen) {
    device.ScriptReturnedBuffers({SampleBytes(Constant(5, 1024))});
    ScriptStopDuringWait({SampleBytes(Constant(6, 1024)), SampleBytes(Constant(7, 17))});

    const std::vector<float> recording = Capture();

    EXPECT_EQ(recording, Joined({Scaled(Constant(5, 1024)), Scaled(Constant(6, 1024)),
                                 Scaled(Constant(7, 17))}));
    EXPECT_EQ(device.Calls(), Calls({kSetUpCalls,
                                     {"Wait 100", "Add 0", "Wait 100", "Wake", "Add 1", "Add 2"},
                                     kShutDownCalls}));
}

TEST_F(CaptureStop, NoWakeReachesTheDeviceAfterTheCaptureHasEnded) {
    ScriptStopDuringWait();
    (void)Capture();
    stop.Clear();
    stop.Set();
    const std::vector<std::string> calls = device.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.back(), "CloseEvent");
}

// The release of the trigger must not wait out the device: with a driver that returns nothing,
// a stop request from another thread wakes the waiting loop at once.
TEST_F(CaptureStop, StopFromAnotherThreadWakesALoopWaitingOnASilentDevice) {
    device.ScriptReturnedBuffers({SampleBytes(Constant(9, 1024))});
    device.Script({.blockUntilWoken = true});
    std::vector<float> recording;
    std::thread recordingThread([&] { recording = Capture(); });

    device.WaitUntilBlocked();
    const auto stopRequested = std::chrono::steady_clock::now();
    stop.Set();
    recordingThread.join();
    const auto stopTime = std::chrono::steady_clock::now() - stopRequested;

    EXPECT_TRUE(device.WasWokenWhileBlocked());
    EXPECT_LT(stopTime, std::chrono::seconds(5));  // the blocked wait would last 20 s
    EXPECT_EQ(recording, Scaled(Constant(9, 1024)));
    EXPECT_EQ(device.Calls(),
              Calls({kSetUpCalls, {"Wait 100", "Add 0", "Wait 100", "Wake"}, kShutDownCalls}));
}

}  // namespace
}  // namespace orvello
