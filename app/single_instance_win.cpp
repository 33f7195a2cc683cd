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
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return true;
    ::PostMessageW(HWND_BROADCAST, RestoreMessage(), 0, 0);
    if (mutex_ != nullptr) ::CloseHandle(mutex_);
    mutex_ = nullptr;
    return false;
}

}  // namespace orvello
