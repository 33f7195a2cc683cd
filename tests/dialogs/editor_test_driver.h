#pragma once
// Runs the command editor modally on the test's thread while a script on a second thread
// works its controls as a user would, and reads or dismisses the message boxes it shows.
// Notifications that a real click or selection would send are sent along (CBN_SELCHANGE,
// LBN_SELCHANGE, BN_CLICKED); OK is posted, because a refusal blocks in a message box.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/command_edit_dialog.h"

namespace orvello::test {

class EditorWindow {
public:
    explicit EditorWindow(HWND editor) : editor_(editor) {}

    [[nodiscard]] HWND Editor() const { return editor_; }
    // The current action panel (the editor's child dialog), or null.
    [[nodiscard]] HWND Panel() const;
    [[nodiscard]] int PanelCount() const;

    void SetPhrase(const std::wstring& text) const;
    void SetEnabled(bool enabled) const;
    void SelectType(int index) const;
    [[nodiscard]] int SelectedType() const;
    [[nodiscard]] std::wstring TypeItem(int index) const;
    [[nodiscard]] int TypeCount() const;

    [[nodiscard]] std::wstring PanelText(int id) const;
    void SetPanelText(int id, const std::wstring& text) const;
    [[nodiscard]] bool PanelItemEnabled(int id) const;
    void ClickPanel(int id) const;      // sent: returns when the click was handled
    void PostClickPanel(int id) const;  // posted: for buttons that open a modal window
    void SelectPanelCombo(int id, int index) const;
    [[nodiscard]] int PanelComboSelection(int id) const;
    [[nodiscard]] std::wstring PanelComboText(int id) const;
    void SelectPanelList(int id, int index) const;
    [[nodiscard]] int PanelListSelection(int id) const;
    [[nodiscard]] std::vector<std::wstring> PanelListRows(int id) const;

    // Presses OK and returns the text of the application message box it shows (which is
    // then dismissed with its OK button), or empty when the editor closed instead.
    [[nodiscard]] std::wstring PressOk() const;
    // The text of the application message box the editor shows next, dismissed with its OK
    // button; empty when none came.
    [[nodiscard]] std::wstring DismissMessageBox() const;
    void PressCancel() const;

private:
    HWND editor_;
};

// Runs editor.DoModal() with `script` acting on its window from another thread. When the
// script leaves the editor open, it is cancelled. Returns the DoModal result.
INT_PTR RunEditor(CCommandEditDialog& editor, const std::function<void(EditorWindow&)>& script);

// The first visible top-level dialog of this process with this caption, waiting up to
// `timeoutMs`; null when none came.
[[nodiscard]] HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs = 5000);

// Waits until `condition` holds, up to `timeoutMs`; returns whether it did.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 3000);

}  // namespace orvello::test
