#include "audio/wave_in_release.h"

namespace orvello {

bool ReleaseOpenDevice(WaveInDevice& device, std::size_t preparedCount, bool started) noexcept {
    if (started) (void)device.Stop();
    const bool reset = device.Reset() == kWaveInOk;
    for (std::size_t index = 0; index < preparedCount; ++index) {
        // After a failed reset only the buffers the device has returned are free to go.
        if (reset || device.ReturnedByteCount(index)) (void)device.UnprepareBuffer(index);
    }
    const bool closed = device.Close() == kWaveInOk;
    return reset || closed;
}

}  // namespace orvello
