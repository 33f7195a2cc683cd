#pragma once

// Windows only: where the shell keeps a user's folders (Documents, local application data).

#include <windows.h>
// After windows.h, which it needs.
#include <shtypes.h>

#include <string>

namespace orvello {

// The folder's path, created if it is missing; empty when the shell has no such folder for
// this user (a redirected folder that is offline, say).
[[nodiscard]] std::wstring KnownFolderPath(REFKNOWNFOLDERID folder);

}  // namespace orvello
