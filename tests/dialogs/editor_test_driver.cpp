#include "tests/dialogs/editor_test_driver.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "resources/command_editor_ids.h"

namespace orvello::test {

namespace {

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

struct CaptionSearch {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchCaption(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<CaptionSearch*>(parameter);
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && std::wstring(className) == L"#32770" &&
        IsWindowVisible(window) && TextOf(window) == search.caption) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// The message text of a message box: its static control that is not the icon.
std::wstring MessageBoxText(HWND box) {
    std::wstring message;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = {};
        GetClassNameW(child, className, 16);
        if (std::wstring(className) == L"Static" &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON && !TextOf(child).empty())
            message = TextOf(child);
    }
    return message;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (condition()) return true;
        Sleep(20);
    }
    return condition();
}

HWND WaitForDialog(const wchar_t* caption, DWORD timeoutMs) {
    CaptionSearch search{caption, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(MatchCaption, LPARAM(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

HWND EditorWindow::Panel() const {
    return FindWindowExW(editor_, nullptr, L"#32770", nullptr);
}

int EditorWindow::PanelCount() const {
    int count = 0;
    for (HWND panel = Panel(); panel; panel = FindWindowExW(editor_, panel, L"#32770", nullptr))
        ++count;
    return count;
}

void EditorWindow::SetPhrase(const std::wstring& text) const {
    SendMessageW(GetDlgItem(editor_, IDC_EDITOR_PHRASE), WM_SETTEXT, 0, LPARAM(text.c_str()));
}

void EditorWindow::SetEnabled(bool enabled) const {
    SendMessageW(GetDlgItem(editor_, IDC_EDITOR_ENABLED), BM_SETCHECK,
                 enabled ? BST_CHECKED : BST_UNCHECKED, 0);
}

void EditorWindow::SelectType(int index) const {
    HWND selector = GetDlgItem(editor_, IDC_EDITOR_ACTION_TYPE);
    SendMessageW(selector, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(editor_, WM_COMMAND, MAKEWPARAM(IDC_EDITOR_ACTION_TYPE, CBN_SELCHANGE),
                 LPARAM(selector));
}

int EditorWindow::SelectedType() const {
    return int(SendDlgItemMessageW(editor_, IDC_EDITOR_ACTION_TYPE, CB_GETCURSEL, 0, 0));
}

std::wstring EditorWindow::TypeItem(int index) const {
    wchar_t text[128] = {};
    SendDlgItemMessageW(editor_, IDC_EDITOR_ACTION_TYPE, CB_GETLBTEXT, WPARAM(index), LPARAM(text));
    return text;
}

int EditorWindow::TypeCount() const {
    return int(SendDlgItemMessageW(editor_, IDC_EDITOR_ACTION_TYPE, CB_GETCOUNT, 0, 0));
}

std::wstring EditorWindow::PanelText(int id) const {
    return TextOf(GetDlgItem(Panel(), id));
}

void EditorWindow::SetPanelText(int id, const std::wstring& text) const {
    SendMessageW(GetDlgItem(Panel(), id), WM_SETTEXT, 0, LPARAM(text.c_str()));
}

bool EditorWindow::PanelItemEnabled(int id) const {
    return IsWindowEnabled(GetDlgItem(Panel(), id)) != FALSE;
}

void EditorWindow::ClickPanel(int id) const {
    HWND panel = Panel();
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(panel, id)));
}

void EditorWindow::PostClickPanel(int id) const {
    HWND panel = Panel();
    PostMessageW(panel, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(panel, id)));
}

void EditorWindow::SelectPanelCombo(int id, int index) const {
    HWND panel = Panel();
    SendDlgItemMessageW(panel, id, CB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), LPARAM(GetDlgItem(panel, id)));
}

int EditorWindow::PanelComboSelection(int id) const {
    return int(SendDlgItemMessageW(Panel(), id, CB_GETCURSEL, 0, 0));
}

std::wstring EditorWindow::PanelComboText(int id) const {
    const int selection = PanelComboSelection(id);
    if (selection < 0) return {};
    wchar_t text[128] = {};
    SendDlgItemMessageW(Panel(), id, CB_GETLBTEXT, WPARAM(selection), LPARAM(text));
    return text;
}

void EditorWindow::SelectPanelList(int id, int index) const {
    HWND panel = Panel();
    SendDlgItemMessageW(panel, id, LB_SETCURSEL, WPARAM(index), 0);
    SendMessageW(panel, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), LPARAM(GetDlgItem(panel, id)));
}

int EditorWindow::PanelListSelection(int id) const {
    return int(SendDlgItemMessageW(Panel(), id, LB_GETCURSEL, 0, 0));
}

std::vector<std::wstring> EditorWindow::PanelListRows(int id) const {
    std::vector<std::wstring> rows;
    const int count = int(SendDlgItemMessageW(Panel(), id, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < count; ++row) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(Panel(), id, LB_GETTEXT, WPARAM(row), LPARAM(text));
        rows.emplace_back(text);
    }
    return rows;
}

std::wstring EditorWindow::PressOk() const {
    PostMessageW(editor_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 LPARAM(GetDlgItem(editor_, IDOK)));
    return DismissMessageBox();
}

std::wstring EditorWindow::DismissMessageBox() const {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            if (!IsWindow(editor_)) return true;
            box = WaitForDialog(L"Orvello", 0);
            return box != nullptr;
        },
        5000);
    if (!box) return {};
    Sleep(50);  // laid out
    const std::wstring message = MessageBoxText(box);
    EXPECT_EQ(GetWindow(box, GW_OWNER), editor_) << "the editor owns its message boxes";
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), LPARAM(GetDlgItem(box, IDOK)));
    WaitUntil([&] { return !IsWindow(box); });
    return message;
}

void EditorWindow::PressCancel() const {
    PostMessageW(editor_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 LPARAM(GetDlgItem(editor_, IDCANCEL)));
}

INT_PTR RunEditor(CCommandEditDialog& editor, const std::function<void(EditorWindow&)>& script) {
    std::thread user([&] {
        HWND window = WaitForDialog(L"Edit Command");
        if (!window) {
            ADD_FAILURE() << "the editor did not appear";
            return;
        }
        EditorWindow editorWindow(window);
        script(editorWindow);
        if (!WaitUntil([&] { return !IsWindow(window); }, 2000)) editorWindow.PressCancel();
    });
    const INT_PTR result = editor.DoModal();
    user.join();
    return result;
}

}  // namespace orvello::test
