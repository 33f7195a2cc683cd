#include "audio/input_test_win.h"

#include "audio/input_test.h"
#include "audio/wave_in_device_win.h"

namespace orvello {

void RunInputTest(UINT deviceId, HWND window, const std::atomic<bool>& stopFlag) noexcept {
    try {
        WinWaveInDevice device;
        RunInputLevelTest(device, deviceId, stopFlag, [window](int levelPercent) {
            ::PostMessageW(window, WM_APP_TEST_LEVEL, static_cast<WPARAM>(levelPercent), 0);
        });
    } catch (...) {
        // The test fails silently, like a device that cannot be opened: the meter stays at 0.
    }
}

}  // namespace orvello
