// Holds the clipboard open on behalf of a test, as another program might:
//   clipboard_holder HELD_EVENT RELEASE_EVENT
// Opens the clipboard with a window of its own, signals HELD_EVENT, and closes it again when
// RELEASE_EVENT is signalled (or after a minute).
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) return 2;
    HANDLE held = OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[1]);
    HANDLE release = OpenEventW(SYNCHRONIZE, FALSE, argv[2]);
    if (!held || !release) return 3;
    HWND owner = CreateWindowExW(0, L"STATIC", L"clipboard holder", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!OpenClipboard(owner)) return 4;
    SetEvent(held);
    WaitForSingleObject(release, 60000);
    CloseClipboard();
    DestroyWindow(owner);
    return 0;
}
