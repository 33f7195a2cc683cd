// Dialogs from templates: a modal run ended by a handler, by Enter, Escape and
// the close box; a modeless dialog; a child panel inside a host; application
// message boxes with the title from the string table.
#include "ui/dialog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/desktop.h"
#include "tests/support/unix_command.h"
#include "tests/support/window_capture.h"
#include "tests/ui/ui_test_resources.h"
#include "ui/application.h"
#include "ui/controls.h"

namespace orvello::ui {
namespace {

constexpr UINT_PTR kActTimer = 1;
constexpr UINT_PTR kGiveUpTimer = 2;  // ends a modal run that the test failed to end
constexpr INT_PTR kGaveUp = -2;

// The layer-test dialog: records its start-up, and on a timer does whatever the test asks.
class TestDialog : public CDialogEx {
public:
    using Action = std::function<void(TestDialog&)>;
    explicit TestDialog(Action onShown = {})
        : CDialogEx(IDD_UI_TEST_DIALOG), onShown_(std::move(onShown)) {}

    std::vector<std::string> events;
    std::wstring labelTextAtInit;
    bool boundDuringInit = false;
    CStatic label;

protected:
    void BindControls() override {
        events.push_back("BindControls");
        EXPECT_TRUE(label.SubclassDlgItem(IDC_UI_TEST_LABEL, Hwnd()));
    }
    bool OnInitDialog() override {
        events.push_back("OnInitDialog");
        boundDuringInit = FromHandle(Hwnd()) == this;
        labelTextAtInit = label.Text();
        if (onShown_) SetTimer(Hwnd(), kActTimer, 50, nullptr);
        SetTimer(Hwnd(), kGiveUpTimer, 15000, nullptr);
        return true;
    }
    void OnTimer(UINT_PTR id) override {
        if (id == kGiveUpTimer) return EndDialog(kGaveUp);
        if (id != kActTimer) return CDialogEx::OnTimer(id);
        KillTimer(Hwnd(), kActTimer);
        onShown_(*this);
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        if (id == IDC_UI_TEST_ACTION) {
            EndDialog(42);
            return true;
        }
        return CDialogEx::OnCommand(id, code, control);
    }

private:
    Action onShown_;
};

TEST(ModalDialog, RunsFromItsTemplateBindsItsControlsFirstAndReturnsTheEndDialogValue) {
    TestDialog dialog([](TestDialog& d) {
        EXPECT_FALSE(orvello::test::SaveWindowCapture(d.Hwnd(), "ui_modal_dialog").empty());
        SendMessageW(d.GetDlgItem(IDC_UI_TEST_ACTION), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(dialog.DoModal(), 42);

    EXPECT_EQ(dialog.events, (std::vector<std::string>{"BindControls", "OnInitDialog"}));
    EXPECT_TRUE(dialog.boundDuringInit);
    EXPECT_EQ(dialog.labelTextAtInit, L"Template label");
    EXPECT_FALSE(dialog.IsWindow());  // the modal run destroyed it
    EXPECT_FALSE(dialog.label.IsWindow());
}

TEST(ModalDialog, EnterEndsItWithOkAndEscapeWithCancel) {
    for (auto [key, expected] : {std::pair{"Return", IDOK}, std::pair{"Escape", IDCANCEL}}) {
        TestDialog dialog([key](TestDialog& d) {
            ASSERT_TRUE(orvello::test::FocusWindow(d.Hwnd()));
            SetForegroundWindow(d.Hwnd());
            SetFocus(d.GetDlgItem(IDC_UI_TEST_OWNERDRAW_LIST));  // Enter is not the list's own key
            ASSERT_EQ(orvello::test::RunUnixCommand("xdotool key " + std::string(key)), 0);
        });
        EXPECT_EQ(dialog.DoModal(), expected) << key;
    }
}

TEST(ModalDialog, TheCloseBoxEndsItWithCancel) {
    TestDialog dialog([](TestDialog& d) { PostMessageW(d.Hwnd(), WM_CLOSE, 0, 0); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST(ModalDialog, AMissingTemplateReportsMinusOne) {
    CDialog dialog(4711);
    EXPECT_EQ(dialog.DoModal(), -1);
    EXPECT_FALSE(dialog.IsWindow());
}

TEST(ModelessDialog, LivesUntilItsObjectGoesAndOkOnlyHidesIt) {
    HWND window = nullptr;
    {
        TestDialog dialog;
        ASSERT_TRUE(dialog.Create());
        window = dialog.Hwnd();
        EXPECT_FALSE(dialog.IsModal());
        EXPECT_EQ(dialog.events, (std::vector<std::string>{"BindControls", "OnInitDialog"}));
        dialog.ShowWindow(SW_SHOW);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(IsWindow(window));
        EXPECT_FALSE(IsWindowVisible(window));
    }
    EXPECT_FALSE(IsWindow(window));
}

class Panel : public CDialog {
public:
    Panel() : CDialog(IDD_UI_TEST_PANEL) {}
    std::vector<UINT> commands;

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override {
        commands.push_back(id);
        return CDialog::OnCommand(id, code, control);
    }
};

class Host : public CDialog {
public:
    Host() : CDialog(IDD_UI_TEST_HOST) {}
    std::vector<UINT> commands;

protected:
    bool OnCommand(UINT id, UINT code, HWND control) override {
        commands.push_back(id);
        return CDialog::OnCommand(id, code, control);
    }
};

TEST(ChildPanel, IsCreatedInsideItsHostAndHandlesItsOwnControls) {
    Host host;
    ASSERT_TRUE(host.Create());
    Panel panel;
    ASSERT_TRUE(panel.Create(host.Hwnd()));
    SetWindowPos(host.Hwnd(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SetWindowPos(panel.Hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    panel.ShowWindow(SW_SHOW);
    host.ShowWindow(SW_SHOW);
    orvello::test::PumpMessages(200);

    EXPECT_EQ(panel.GetParent(), host.Hwnd());
    EXPECT_TRUE(panel.GetStyle() & WS_CHILD);
    wchar_t label[64] = {};
    GetDlgItemTextW(panel.Hwnd(), IDC_UI_TEST_PANEL_LABEL, label, 64);
    EXPECT_STREQ(label, L"Panel label");

    SendMessageW(panel.GetDlgItem(IDC_UI_TEST_PANEL_BUTTON), BM_CLICK, 0, 0);
    EXPECT_EQ(panel.commands, std::vector<UINT>{IDC_UI_TEST_PANEL_BUTTON});
    EXPECT_TRUE(host.commands.empty());
    EXPECT_FALSE(orvello::test::SaveWindowCapture(host.Hwnd(), "ui_child_panel").empty());

    // The panel's label shows inside the host's capture: text pixels where the panel sits.
    const orvello::test::Image image = orvello::test::CaptureWindow(panel.Hwnd());
    int dark = 0;
    for (uint32_t pixel : image.pixels) dark += (pixel & 0xFF) < 0x40 ? 1 : 0;
    EXPECT_GT(dark, 20);
}

// Watches for a message box captioned `caption` on another thread, reads its texts and
// presses `button`.
class MessageBoxWatcher {
public:
    MessageBoxWatcher(std::wstring caption, int button)
        : thread_([this, caption, button] { Watch(caption, button); }) {}
    ~MessageBoxWatcher() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

    std::vector<std::wstring> texts;
    int defaultButton = 0;
    bool found = false;

private:
    void Watch(const std::wstring& caption, int button) {
        for (int attempt = 0; attempt < 200 && !found; ++attempt) {
            if (HWND box = FindWindowW(L"#32770", caption.c_str())) {
                found = true;
                Sleep(100);  // let it finish its layout
                for (HWND child = GetWindow(box, GW_CHILD); child;
                     child = GetWindow(child, GW_HWNDNEXT)) {
                    wchar_t text[256] = {};
                    GetWindowTextW(child, text, 256);
                    texts.emplace_back(text);
                    if ((GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
                        defaultButton = GetDlgCtrlID(child);
                }
                PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                             LPARAM(GetDlgItem(box, button)));
            }
            Sleep(25);
        }
    }
    std::thread thread_;
};

bool Contains(const std::vector<std::wstring>& texts, const std::wstring& text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(AppMessageBox, IsCaptionedWithTheApplicationTitleFromTheStringTable) {
    EXPECT_EQ(LoadResourceString(kApplicationTitleStringId), L"Orvello");

    MessageBoxWatcher question(L"Orvello", IDNO);
    EXPECT_EQ(AppMessageBox(L"Exit Orvello?", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2), IDNO);
    question.Join();
    EXPECT_TRUE(question.found);
    EXPECT_TRUE(Contains(question.texts, L"Exit Orvello?"));
    EXPECT_EQ(question.defaultButton, IDNO);

    MessageBoxWatcher notice(L"Orvello", IDOK);
    EXPECT_EQ(AppMessageBox(L"Select an input device first."), IDOK);
    notice.Join();
    EXPECT_TRUE(Contains(notice.texts, L"Select an input device first."));
}

}  // namespace
}  // namespace orvello::ui
