#include "audio/capture_stop_flag.h"

#include <utility>

namespace orvello {

CaptureStopFlag::WakeRegistration::WakeRegistration(WakeRegistration&& other) noexcept
    : flag_(std::exchange(other.flag_, nullptr)) {}

CaptureStopFlag::WakeRegistration& CaptureStopFlag::WakeRegistration::operator=(
    WakeRegistration&& other) noexcept {
    if (this != &other) {
        Release();
        flag_ = std::exchange(other.flag_, nullptr);
    }
    return *this;
}

CaptureStopFlag::WakeRegistration::~WakeRegistration() {
    Release();
}

void CaptureStopFlag::WakeRegistration::Release() {
    if (flag_ != nullptr) std::exchange(flag_, nullptr)->UnregisterWaker();
}

void CaptureStopFlag::Set() {
    set_.exchange(true);
    // The flag is set before the wake, so a woken loop always sees it.
    std::lock_guard lock(wakerMutex_);
    if (waker_) waker_();
}

void CaptureStopFlag::Clear() {
    set_.exchange(false);
}

bool CaptureStopFlag::IsSet() const {
    return set_.load();
}

CaptureStopFlag::WakeRegistration CaptureStopFlag::RegisterWaker(Waker waker) {
    std::lock_guard lock(wakerMutex_);
    waker_ = std::move(waker);
    return WakeRegistration(this);
}

void CaptureStopFlag::UnregisterWaker() {
    std::lock_guard lock(wakerMutex_);
    waker_ = nullptr;
}

}  // namespace orvello
