#include "controls/about_dlg.h"

#include "resources/resource.h"

namespace orvello {

CAboutDlg::CAboutDlg(HWND parent) : ui::CDialogEx(IDD_ABOUT, parent) {}

}  // namespace orvello
