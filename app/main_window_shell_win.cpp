// The main window's life in the notification area: icons, the About entry, hiding with the
// balloon notice, restoring, the hidden start, exit and the order of shutdown.
#include "app/main_window_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <system_error>

#include "controls/about_dlg.h"
#include "resources/resource.h"
#include "trigger/raw_input_source_win.h"
#include "ui/application.h"

namespace orvello {

void CTessarinDlg::AddSystemMenuAbout() {
    HMENU systemMenu = ::GetSystemMenu(Hwnd(), FALSE);
    if (systemMenu == nullptr) return;
    const std::wstring aboutText = ui::LoadResourceString(IDS_ABOUT_ITEM);
    if (aboutText.empty()) return;
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, ID_SYS_ABOUT, aboutText.c_str());
}

void CTessarinDlg::SetWindowIcons() {
    Send(WM_SETICON, ICON_BIG, LPARAM(icon_));
    Send(WM_SETICON, ICON_SMALL, LPARAM(icon_));
}

void CTessarinDlg::HideToTray() {
    keptInTray_ = true;
    ShowWindow(SW_HIDE);
    trayIcon_.ShowBackgroundBalloon();
}

void CTessarinDlg::RestoreFromTray() {
    keptInTray_ = false;
    ShowWindow(SW_SHOW);
    ShowWindow(SW_RESTORE);
    ::SetForegroundWindow(Hwnd());
}

void CTessarinDlg::OnTrayNotify(LPARAM mouseMessage) {
    switch (UINT(mouseMessage)) {
        case WM_LBUTTONDBLCLK:
            RestoreFromTray();
            break;
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            // "Stop Recording" ends a hands-free recording; there is none to end otherwise.
            if (tracker_.isHandsFree()) {
                ShowTrayMenu(Hwnd(), ui::ResourceInstance(), IDR_TRAY_MENU);
            } else {
                ShowTrayMenu(Hwnd(), ui::ResourceInstance(), IDR_TRAY_MENU,
                             {ID_TRAY_STOP_RECORDING});
            }
            break;
        default:
            break;
    }
}

// The about box takes the keyboard focus, so a trigger held meanwhile would never see its
// release: forget it, stopping a recording it started.
void CTessarinDlg::ShowAboutBox() {
    CAboutDlg about(Hwnd());
    about.DoModal();
    tracker_.reset();
}

// Shows the folder the model is loaded from in the file manager, so that the real model's files
// can be put there; a folder that is not there yet is made first.
void CTessarinDlg::OpenModelFolder() {
    const fs::path folder = recording_.modelFolder();
    std::error_code error;
    fs::create_directories(folder, error);
    const auto opened =
        INT_PTR(::ShellExecuteW(Hwnd(), L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (error || opened <= 32) {
        ui::AppMessageBox(L"The model folder could not be opened:\n\n" + folder.wstring(),
                          MB_OK | MB_ICONEXCLAMATION);
    }
}

// Ends the modal run; the window is destroyed with it, which runs ShutDown.
void CTessarinDlg::RequestExit() {
    exitRequested_ = true;
    EndDialog(IDCANCEL);
}

void CTessarinDlg::OnExitButton() {
    tracker_.reset();
    if (ui::AppMessageBox(L"Exit Orvello?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
        RequestExit();
    }
}

// Worker threads end before the icon and the raw input registration go.
void CTessarinDlg::ShutDown() {
    recording_.stopInputTest();
    overlay_.Hide();
    recording_.cancelRecognition();
    trayIcon_.Remove();
    (void)removeKeyboardRegistration();
}

void CTessarinDlg::OnPaint() {
    if (!::IsIconic(Hwnd())) {
        ui::CDialogEx::OnPaint();
        return;
    }
    PAINTSTRUCT paint{};
    HDC dc = ::BeginPaint(Hwnd(), &paint);
    Send(WM_ICONERASEBKGND, WPARAM(dc), 0);
    const RECT client = GetClientRect();
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, icon_);
    ::EndPaint(Hwnd(), &paint);
}

}  // namespace orvello
