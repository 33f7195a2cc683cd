#pragma once
// CDialog: a CWnd whose window the dialog manager builds from a dialog template
// resource. DoModal() runs it modally and returns the value given to EndDialog;
// Create() makes it a modeless window, or a child panel when the template has
// the WS_CHILD style. The object is bound on the first message the dialog
// manager hands to the dialog procedure (WM_SETFONT for templates with a font)
// and sees every later message through WindowProc, with DefDlgProc as Default().
// On WM_INITDIALOG the layer calls BindControls() (adopt template controls here
// with SubclassDlgItem) and then OnInitDialog(). IDOK and IDCANCEL commands
// (Enter, Escape, the close box) go to OnOK() and OnCancel().
#include "ui/window.h"

namespace orvello::ui {

class CDialog : public CWnd {
public:
    // `parent` null: the main window (ui/application.h) owns the dialog.
    explicit CDialog(UINT templateId, HWND parent = nullptr)
        : templateId_(templateId), parent_(parent) {}

    // Runs the dialog modally; returns the EndDialog value, or -1 when the template
    // could not be loaded or the window not created.
    INT_PTR DoModal();

    // Creates the dialog modeless (or as a child panel of `parent` for a WS_CHILD
    // template); false when creation failed. The window is destroyed with the object.
    [[nodiscard]] bool Create(HWND parent = nullptr);

    // Ends a modal run with `result`; for a modeless dialog only hides it.
    void EndDialog(INT_PTR result);

    [[nodiscard]] UINT TemplateId() const { return templateId_; }
    [[nodiscard]] bool IsModal() const { return modal_; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;

    // Adopts the template's controls; runs before OnInitDialog.
    virtual void BindControls() {}
    // Returns true to let the dialog manager focus the first control.
    virtual bool OnInitDialog() { return true; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

private:
    static INT_PTR CALLBACK DialogProcedure(HWND, UINT, WPARAM, LPARAM);
    HWND OwnerWindow() const;

    UINT templateId_;
    HWND parent_;
    bool modal_ = false;
};

// The extended dialog of the program's windows; nothing beyond CDialog so far.
class CDialogEx : public CDialog {
public:
    using CDialog::CDialog;
};

}  // namespace orvello::ui
