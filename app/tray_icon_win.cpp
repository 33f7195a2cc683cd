#include "app/tray_icon_win.h"

#include <cwchar>

#include "resources/resource.h"

namespace orvello {
namespace {

constexpr wchar_t kTipText[] = L"Orvello";
constexpr wchar_t kBalloonTitle[] = L"Orvello";
constexpr wchar_t kBalloonText[] = L"Orvello is running in the background. Ready for your voice.";
constexpr UINT kBalloonTimeoutMs = 3000;

template <std::size_t N>
void CopyInto(wchar_t (&field)[N], const wchar_t* text) {
    std::wcsncpy(field, text, N - 1);
    field[N - 1] = L'\0';
}

}  // namespace

bool TrayIcon::Add(HWND owner, UINT callbackMessage, HINSTANCE instance) {
    if (added_) return true;
    Remove();  // the icon handle of an add the shell refused
    record_ = NOTIFYICONDATAW{};
    record_.cbSize = sizeof(NOTIFYICONDATAW);
    record_.hWnd = owner;
    record_.uID = kIconId;
    record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    record_.uCallbackMessage = callbackMessage;
    record_.hIcon = static_cast<HICON>(::LoadImageW(
        instance, MAKEINTRESOURCEW(IDI_TRAY_ICON), IMAGE_ICON, ::GetSystemMetrics(SM_CXSMICON),
        ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    CopyInto(record_.szTip, kTipText);
    added_ = ::Shell_NotifyIconW(NIM_ADD, &record_) == TRUE;
    return added_;
}

// Sent whether or not the icon was added: the shell simply fails the request then.
void TrayIcon::ShowBackgroundBalloon() const {
    NOTIFYICONDATAW balloon = record_;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_INFO;
    balloon.uTimeout = kBalloonTimeoutMs;
    CopyInto(balloon.szInfoTitle, kBalloonTitle);
    CopyInto(balloon.szInfo, kBalloonText);
    (void)::Shell_NotifyIconW(NIM_MODIFY, &balloon);
}

// The icon was loaded for this record alone, so it goes with it, whether or not the shell took it.
void TrayIcon::Remove() {
    if (added_) {
        (void)::Shell_NotifyIconW(NIM_DELETE, &record_);
        added_ = false;
    }
    if (record_.hIcon != nullptr) {
        ::DestroyIcon(record_.hIcon);
        record_.hIcon = nullptr;
    }
}

void ShowTrayMenu(HWND owner, HINSTANCE instance, UINT menuId,
                  std::initializer_list<UINT> grayedItems) {
    HMENU menu = ::LoadMenuW(instance, MAKEINTRESOURCEW(menuId));
    if (menu == nullptr) return;
    HMENU popup = ::GetSubMenu(menu, 0);
    if (popup != nullptr) {
        for (const UINT item : grayedItems) ::EnableMenuItem(popup, item, MF_BYCOMMAND | MF_GRAYED);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        // Foreground first, so that the menu closes when the user clicks elsewhere.
        ::SetForegroundWindow(owner);
        ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
        ::PostMessageW(owner, WM_NULL, 0, 0);
    }
    ::DestroyMenu(menu);
}

}  // namespace orvello
