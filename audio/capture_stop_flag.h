#pragma once

#include <atomic>
#include <functional>
#include <mutex>

namespace orvello {

// The stop request of a capture: an atomic flag that the capture polls once per pass, which also
// wakes a capture loop that is waiting for its device, so that a release is not delayed by the
// loop's wait time-out. Set and Clear may be called from any thread.
class CaptureStopFlag {
public:
    using Waker = std::function<void()>;

    // Keeps a waker registered while it lives. Move-only.
    class WakeRegistration {
    public:
        WakeRegistration() = default;
        WakeRegistration(WakeRegistration&& other) noexcept;
        WakeRegistration& operator=(WakeRegistration&& other) noexcept;
        WakeRegistration(const WakeRegistration&) = delete;
        WakeRegistration& operator=(const WakeRegistration&) = delete;
        ~WakeRegistration();

    private:
        friend class CaptureStopFlag;
        explicit WakeRegistration(CaptureStopFlag* flag) : flag_(flag) {}
        void Release();

        CaptureStopFlag* flag_ = nullptr;
    };

    CaptureStopFlag() = default;
    CaptureStopFlag(const CaptureStopFlag&) = delete;
    CaptureStopFlag& operator=(const CaptureStopFlag&) = delete;

    // Sets the flag, then wakes the registered waiter, if any.
    void Set();
    void Clear();
    [[nodiscard]] bool IsSet() const;

    // One waiter at a time: a capture registers while its loop runs. Once the registration has
    // ended, no Set still calls the waker, so the waker's event can be closed safely.
    [[nodiscard]] WakeRegistration RegisterWaker(Waker waker);

private:
    void UnregisterWaker();

    std::atomic<bool> set_{false};
    std::mutex wakerMutex_;
    Waker waker_;
};

}  // namespace orvello
