#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "tests/audio/capture_test_support.h"

namespace orvello {
namespace {

using CaptureSetUp = CaptureFixture;

// Runs a capture that must fail during set-up and returns its message.
std::string FailedCaptureMessage(ScriptedWaveInDevice& device, CaptureStopFlag& stop) {
    AudioCapture capture(device);
    try {
        (void)capture.Run(kTestDeviceId, kUnconditioned, stop, {});
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    ADD_FAILURE() << "the capture did not fail";
    return {};
}

TEST_F(CaptureSetUp, OpensTheChosenDeviceAs16kHzMonoPcmWithFourSeparate2048ByteBuffers) {
    ScriptStopDuringWait();
    (void)Capture();
    const std::optional<WaveInFormat> format = device.OpenedFormat();
    ASSERT_TRUE(format.has_value());
    EXPECT_EQ(format->formatTag, 1);  // WAVE_FORMAT_PCM
    EXPECT_EQ(format->channels, 1);
    EXPECT_EQ(format->samplesPerSecond, 16'000u);
    EXPECT_EQ(format->averageBytesPerSecond, 32'000u);
    EXPECT_EQ(format->blockAlign, 2);
    EXPECT_EQ(format->bitsPerSample, 16);
    EXPECT_EQ(format->extraSize, 0);
    EXPECT_EQ(device.PreparedSizes(), (std::vector<std::size_t>{2048, 2048, 2048, 2048}));
    EXPECT_FALSE(device.PreparedBuffersOverlap());
}

TEST_F(CaptureSetUp, StopRequestedBeforeAnyBufferGivesAnEmptyRecordingAndAFullShutDown) {
    stop.Set();
    const std::vector<float> recording = Capture();
    EXPECT_TRUE(recording.empty());
    EXPECT_GE(recording.capacity(), 480'000u);  // 30 s reserved up front
    EXPECT_TRUE(levels.empty());
    EXPECT_EQ(device.Calls(), Calls({kSetUpCalls, kShutDownCalls}));
}

TEST_F(CaptureSetUp, EventFailureRaisesBeforeTheDeviceIsTouched) {
    device.eventCreationFails = true;
    EXPECT_EQ(FailedCaptureMessage(device, stop), "Failed to create audio event handle.");
    EXPECT_EQ(device.Calls(), (std::vector<std::string>{"CreateEvent"}));
}

TEST_F(CaptureSetUp, OpenFailureReleasesTheEventAndGivesTheSystemText) {
    device.openResult = 2;
    device.errorTexts[2] = "The specified device ID is out of range.";
    EXPECT_EQ(FailedCaptureMessage(device, stop),
              "waveInOpen failed: The specified device ID is out of range.");
    EXPECT_EQ(device.Calls(), (std::vector<std::string>{"CreateEvent", "Open 3", "CloseEvent"}));
}

TEST_F(CaptureSetUp, OpenFailureWithoutSystemTextGivesTheCodeInUnsignedDecimal) {
    device.openResult = 2;
    EXPECT_EQ(FailedCaptureMessage(device, stop), "waveInOpen failed: MMRESULT=2");

    ScriptedWaveInDevice otherDevice;
    otherDevice.openResult = 0xFFFF'FFFFu;
    EXPECT_EQ(FailedCaptureMessage(otherDevice, stop), "waveInOpen failed: MMRESULT=4294967295");
}

TEST_F(CaptureSetUp, PrepareFailureOnFirstBufferResetsAndClosesWithNothingToUnprepare) {
    device.prepareResults = {11};
    device.errorTexts[11] = "An invalid parameter was passed.";
    EXPECT_EQ(FailedCaptureMessage(device, stop),
              "waveInPrepareHeader failed: An invalid parameter was passed.");
    EXPECT_EQ(device.Calls(), (std::vector<std::string>{"CreateEvent", "Open 3", "Prepare 0",
                                                        "Reset", "Close", "CloseEvent"}));
}

TEST_F(CaptureSetUp, PrepareFailureOnThirdBufferUnpreparesTheTwoBeforeIt) {
    device.prepareResults = {0, 0, 7};
    EXPECT_EQ(FailedCaptureMessage(device, stop), "waveInPrepareHeader failed: MMRESULT=7");
    EXPECT_EQ(device.Calls(),
              (std::vector<std::string>{"CreateEvent", "Open 3", "Prepare 0", "Add 0", "Prepare 1",
                                        "Add 1", "Prepare 2", "Reset", "Unprepare 0", "Unprepare 1",
                                        "Close", "CloseEvent"}));
}

TEST_F(CaptureSetUp, AddBufferFailureUnpreparesEveryBufferPreparedIncludingTheFailedOne) {
    device.addResults = {0, 5};
    device.errorTexts[5] = "Access is denied.";
    EXPECT_EQ(FailedCaptureMessage(device, stop), "waveInAddBuffer failed: Access is denied.");
    EXPECT_EQ(device.Calls(),
              (std::vector<std::string>{"CreateEvent", "Open 3", "Prepare 0", "Add 0", "Prepare 1",
                                        "Add 1", "Reset", "Unprepare 0", "Unprepare 1", "Close",
                                        "CloseEvent"}));
}

TEST_F(CaptureSetUp, StartFailureResetsWithoutStopAndUnpreparesAllFourBuffers) {
    device.startResult = 4;
    EXPECT_EQ(FailedCaptureMessage(device, stop), "waveInStart failed: MMRESULT=4");
    EXPECT_EQ(device.Calls(), Calls({kSetUpCalls,
                                     {"Reset", "Unprepare 0", "Unprepare 1", "Unprepare 2",
                                      "Unprepare 3", "Close", "CloseEvent"}}));
}

TEST_F(CaptureSetUp, FailedSetUpLeavesNoWakeRegisteredOnTheStopFlag) {
    device.startResult = 4;
    (void)FailedCaptureMessage(device, stop);
    const std::size_t callCount = device.Calls().size();
    stop.Set();
    EXPECT_EQ(device.Calls().size(), callCount);
}

}  // namespace
}  // namespace orvello
