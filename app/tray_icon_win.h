#pragma once
// The notification-area ("tray") icon of the main window: added once at start-up, its
// balloon shown whenever the user hides the window, its menu on a right click, removed at
// shutdown. The record passed to the shell is kept for the window's whole life and reused
// for every modify and delete.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <initializer_list>

namespace orvello {

class TrayIcon {
public:
    static constexpr UINT kIconId = 1;

    TrayIcon() = default;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;
    ~TrayIcon() { Remove(); }

    // Adds the icon unless it is already there; whether the shell accepted it.
    bool Add(HWND owner, UINT callbackMessage, HINSTANCE instance);
    // "Orvello is running in the background." for 3 s; failures are ignored.
    void ShowBackgroundBalloon() const;
    // Takes the icon out of the notification area and destroys its icon handle.
    void Remove();

    [[nodiscard]] bool IsAdded() const { return added_; }
    [[nodiscard]] const NOTIFYICONDATAW& Record() const { return record_; }

private:
    NOTIFYICONDATAW record_{};
    bool added_ = false;
};

// Shows the tray menu's popup at the cursor, owned by `owner`, whose WM_COMMAND receives the
// chosen item, with the items of `grayedItems` grayed. A missing menu resource is ignored.
void ShowTrayMenu(HWND owner, HINSTANCE instance, UINT menuId,
                  std::initializer_list<UINT> grayedItems = {});

}  // namespace orvello
