#pragma once
// CAboutDlg: the modal about box from dialog template IDD_ABOUT (100): the
// application icon, "Orvello" with its version, a line about the program, the speech model
// and an OK button. OK, Escape and the close box end it. Without an explicit
// parent the main window owns it.
//   CAboutDlg about;
//   about.DoModal();
#include "ui/dialog.h"

namespace orvello {

class CAboutDlg : public ui::CDialogEx {
public:
    explicit CAboutDlg(HWND parent = nullptr);
};

}  // namespace orvello
