// Dialogs from templates. The dialog manager owns the dialog procedure; ours
// only binds the object on the first message it is handed and then leaves
// every message to the object's subclass, which sees them first.
#include "ui/dialog.h"

#include "ui/application.h"

namespace orvello::ui {
namespace {

// The dialog whose window the dialog manager is creating on this thread. The
// window's first messages (WM_SETFONT, control creation) arrive before
// WM_INITDIALOG carries the creation parameter.
thread_local CDialog* dialogBeingCreated = nullptr;

}  // namespace

INT_PTR CALLBACK CDialog::DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (FromHandle(window)) return FALSE;  // bound: the object has had this message already
    CDialog* dialog = dialogBeingCreated;
    if (message == WM_INITDIALOG) dialog = reinterpret_cast<CDialog*>(lParam);
    if (!dialog) return FALSE;
    dialogBeingCreated = nullptr;
    if (!dialog->Bind(window, Binding::Subclass)) return FALSE;
    // The subclass sees messages from the next one on; WM_INITDIALOG must not be lost.
    if (message == WM_INITDIALOG) return dialog->DispatchGuarded(message, wParam, lParam);
    return FALSE;
}

HWND CDialog::OwnerWindow() const {
    return parent_ ? parent_ : MainWindow();
}

INT_PTR CDialog::DoModal() {
    if (IsWindow()) return -1;
    modal_ = true;
    dialogBeingCreated = this;
    const INT_PTR result = DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_),
                                           OwnerWindow(), DialogProcedure, LPARAM(this));
    dialogBeingCreated = nullptr;
    modal_ = false;
    return result;
}

bool CDialog::Create(HWND parent) {
    if (IsWindow()) return false;
    if (parent) parent_ = parent;
    modal_ = false;
    dialogBeingCreated = this;
    HWND window = CreateDialogParamW(ResourceInstance(), MAKEINTRESOURCEW(templateId_),
                                     OwnerWindow(), DialogProcedure, LPARAM(this));
    dialogBeingCreated = nullptr;
    if (!window) return false;
    if (Hwnd() != window) {  // never bound: not ours to keep
        ::DestroyWindow(window);
        return false;
    }
    ownsWindow_ = true;
    return true;
}

void CDialog::EndDialog(INT_PTR result) {
    if (!IsWindow()) return;
    if (modal_) {
        ::EndDialog(Hwnd(), result);
    } else {
        ShowWindow(SW_HIDE);
    }
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        BindControls();
        return OnInitDialog() ? TRUE : FALSE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// Enter, Escape and the close box arrive as IDOK / IDCANCEL commands.
bool CDialog::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (id == IDOK) {
        OnOK();
        return true;
    }
    if (id == IDCANCEL) {
        OnCancel();
        return true;
    }
    return false;
}

}  // namespace orvello::ui
