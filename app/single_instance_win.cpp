#include "app/single_instance_win.h"

namespace orvello {
namespace {

constexpr wchar_t kMutexName[] = L"Orvello_SingleInstance";

// Registered during static initialisation, before start-up runs.
const UINT gRestoreMessage = ::RegisterWindowMessageW(L"Orvello_Restore");

}  // namespace

UINT RestoreMessage() {
    return gRestoreMessage;
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (mutex_ == nullptr) return;
    ::ReleaseMutex(mutex_);
    ::CloseHandle(mutex_);
}

bool SingleInstanceGuard::Acquire() {
    mutex_ = ::CreateMutexW(nullptr, TRUE, kMutexName);
    const DWORD error = ::GetLastError();
    // An Orvello running elevated holds a mutex that this user may not open: it runs all the same.
    const bool otherInstanceRuns =
        error == ERROR_ALREADY_EXISTS || (mutex_ == nullptr && error == ERROR_ACCESS_DENIED);
    if (!otherInstanceRuns) return true;
    ::PostMessageW(HWND_BROADCAST, RestoreMessage(), 0, 0);
    if (mutex_ != nullptr) ::CloseHandle(mutex_);
    mutex_ = nullptr;
    return false;
}

}  // namespace orvello
