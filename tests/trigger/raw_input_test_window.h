#pragma once
// A top-level window that owns what the main window owns for the trigger: a RawKeyboardReader
// over the Windows Raw Input source and a TriggerTracker fed by it. Every WM_INPUT is decoded,
// passed to the tracker and written down, so tests can drive the real keyboard and read back
// what the trigger path saw.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "trigger/raw_keyboard_reader.h"
#include "trigger/trigger_tracker.h"
#include "trigger_test_support.h"

namespace orvello::test {

// One decoded WM_INPUT, with copies of the event's strings.
struct SeenKey {
    DeviceHandle device = 0;
    std::u16string deviceName;
    std::u16string deviceIdentity;
    ModifierKey key = ModifierKey::Unknown;
    bool isDown = false;
    bool arrivedInBackground = false;  // wParam RIM_INPUTSINK: another thread had the focus
    bool trackerActiveAfter = false;
    long heapAllocations = 0;          // during decode and onKeyEvent
    double handlingNanoseconds = 0.0;  // decode (with its Raw Input calls) and onKeyEvent
};

class RawInputTestWindow {
public:
    explicit RawInputTestWindow(const wchar_t* title);
    // Takes the process's keyboard registration away when this window holds it, as a registered
    // window does when it goes away.
    ~RawInputTestWindow();
    RawInputTestWindow(const RawInputTestWindow&) = delete;
    RawInputTestWindow& operator=(const RawInputTestWindow&) = delete;

    [[nodiscard]] HWND hwnd() const { return hwnd_; }
    [[nodiscard]] bool registerForKeyboards();

    // A new reader (empty name cache) and tracker (no triggers, nothing held), and no keys seen.
    void startFresh();

    [[nodiscard]] RawKeyboardReader& reader() { return path_->reader; }
    [[nodiscard]] TriggerTracker& tracker() { return path_->tracker; }
    [[nodiscard]] const std::vector<SeenKey>& seenKeys() const { return seenKeys_; }
    [[nodiscard]] int undecodedInputs() const { return undecodedInputs_; }
    void clearSeenKeys() { seenKeys_.clear(); }

    // The owner calls the tracker made since the last take.
    [[nodiscard]] std::vector<std::string> takeOwnerCalls() { return path_->owner.take(); }

private:
    // What the main window owns for the trigger, renewed as a whole.
    struct TriggerPath {
        TriggerPath();
        RecordingOwner owner;
        RecordingMessages messages;
        RawKeyboardReader reader;
        TriggerTracker tracker;
    };

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    [[nodiscard]] bool handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onInput(WPARAM wParam, LPARAM lParam);

    std::unique_ptr<TriggerPath> path_;
    std::vector<SeenKey> seenKeys_;
    int undecodedInputs_ = 0;
    HWND hwnd_ = nullptr;
};

// Wine waits two seconds for a window manager whenever a shown window is destroyed on a desktop
// that has none, so the windows that tests show are made once and live until the process ends.

// A shown window of this thread, for tests that register it and give it the focus.
[[nodiscard]] RawInputTestWindow& sharedTestWindow();

// A window of another process (foreground_window_helper), started by the constructor and ended
// by the destructor. Raw Input counts input as background input for every process but the one
// whose window has the focus.
class ForegroundHelperProcess {
public:
    ForegroundHelperProcess();
    ~ForegroundHelperProcess();
    ForegroundHelperProcess(const ForegroundHelperProcess&) = delete;
    ForegroundHelperProcess& operator=(const ForegroundHelperProcess&) = delete;

    // The helper's window once it is shown; null when the helper could not be started.
    [[nodiscard]] HWND hwnd() const { return window_; }

private:
    PROCESS_INFORMATION process_{};
    HWND window_ = nullptr;
};

// Handles this thread's messages until done() holds or timeoutMs has passed; true when done.
template <typename Done>
bool pumpUntil(Done done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

}  // namespace orvello::test
