#pragma once
// One Orvello per user session: the first instance holds a named mutex; a later one asks the
// running instance to show itself (the restore message, broadcast to all top-level windows)
// and ends without a window.
#include <windows.h>

namespace orvello {

// The registered "Orvello_Restore" message; the same number in every instance.
[[nodiscard]] UINT RestoreMessage();

class SingleInstanceGuard {
public:
    SingleInstanceGuard() = default;
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;
    ~SingleInstanceGuard();

    // False when another instance runs (it has been asked to restore itself), also when its mutex
    // may not be opened (it runs elevated). A mutex that cannot be created for another reason
    // lets this instance run unguarded.
    [[nodiscard]] bool Acquire();
    [[nodiscard]] bool HoldsMutex() const { return mutex_ != nullptr; }

private:
    HANDLE mutex_ = nullptr;
};

}  // namespace orvello
