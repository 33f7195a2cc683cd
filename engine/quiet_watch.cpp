#include "engine/quiet_watch.h"

#include <algorithm>

namespace orvello {

bool QuietWatch::Append(std::span<const float> samples) {
    bool reached = false;
    while (!samples.empty()) {
        const std::size_t taken = std::min(samples.size(), window_.size() - windowFill_);
        std::copy_n(samples.begin(), taken, window_.begin() + windowFill_);
        windowFill_ += taken;
        samples = samples.subspan(taken);
        if (windowFill_ == window_.size()) reached = CloseWindow() || reached;
    }
    return reached;
}

// Reports the window in which the quiet reaches the limit, and not the ones after it.
bool QuietWatch::CloseWindow() {
    windowFill_ = 0;
    if (!IsQuietWindow(window_, conditioning_)) {
        quietSamples_ = 0;
        return false;
    }
    const std::size_t before = quietSamples_;
    quietSamples_ += window_.size();
    return before < limitSamples_ && quietSamples_ >= limitSamples_;
}

}  // namespace orvello
