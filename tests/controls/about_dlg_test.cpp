// The about box from template IDD_ABOUT (100), run modally as the main window
// runs it: its caption, texts, icon and size, its default owner, and OK, Escape
// and the close box ending it.
#include "controls/about_dlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "orvello_version.h"
#include "tests/controls/control_pixels.h"
#include "tests/support/desktop.h"
#include "tests/support/unix_command.h"
#include "ui/application.h"

namespace orvello {
namespace {

struct AboutBoxSeen {
    bool found = false;
    std::vector<std::wstring> texts;
    bool hasIcon = false;
    std::vector<std::wstring> overflowing;  // texts wider than their one-line static
    RECT client{};
    RECT templateSize{};
    HWND owner = nullptr;
};

// Whether `text` in the control's font fits the control's width.
bool FitsOnOneLine(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT client{};
    GetClientRect(control, &client);
    return size.cx <= client.right;
}

// Waits on another thread for the about box, reads what it shows, then runs `close`.
class AboutBoxWatcher {
public:
    explicit AboutBoxWatcher(std::function<void(HWND)> close)
        : thread_([this, close] { Watch(close); }) {}
    ~AboutBoxWatcher() { Join(); }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }
    AboutBoxSeen seen;

private:
    void Watch(const std::function<void(HWND)>& close) {
        HWND box = nullptr;
        for (int attempt = 0; attempt < 400 && !box; ++attempt, Sleep(25))
            box = FindWindowW(L"#32770", L"About Orvello");
        if (!box) return;
        Sleep(300);  // shown and painted
        seen.found = true;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[128] = {};
            GetWindowTextW(child, text, 128);
            if (text[0]) seen.texts.emplace_back(text);
            if (text[0] && !FitsOnOneLine(child, text)) seen.overflowing.emplace_back(text);
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                seen.hasIcon = SendMessageW(child, STM_GETICON, 0, 0) != 0;
        }
        GetClientRect(box, &seen.client);
        seen.templateSize = {0, 0, 171, 93};
        MapDialogRect(box, &seen.templateSize);
        seen.owner = GetWindow(box, GW_OWNER);
        EXPECT_FALSE(test::SaveWindowCapture(box, "about_box").empty());
        close(box);
    }
    std::thread thread_;
};

bool Shows(const AboutBoxSeen& seen, const std::wstring& text) {
    return std::find(seen.texts.begin(), seen.texts.end(), text) != seen.texts.end();
}

TEST(AboutBox, ShowsTheProductTheModelAndTheIconAndOkClosesIt) {
    AboutBoxWatcher watcher([](HWND box) { SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); });
    CAboutDlg about;
    EXPECT_EQ(about.DoModal(), IDOK);
    watcher.Join();
    const AboutBoxSeen& seen = watcher.seen;
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(Shows(seen, L"" ORVELLO_PRODUCT_AND_VERSION));
    EXPECT_TRUE(Shows(seen, L"NVIDIA Parakeet V3 (Multilingual)"));
    EXPECT_TRUE(Shows(seen, L"OK"));
    EXPECT_TRUE(Shows(seen, L"Local voice typing and commands"));
    EXPECT_TRUE(seen.overflowing.empty()) << "a text is cut off";
    EXPECT_TRUE(seen.hasIcon);
    EXPECT_EQ(seen.client.right, seen.templateSize.right);
    EXPECT_EQ(seen.client.bottom, seen.templateSize.bottom);
    EXPECT_FALSE(about.IsWindow());
}

TEST(AboutBox, EscapeAndTheCloseBoxEndItToo) {
    {
        AboutBoxWatcher watcher([](HWND box) {
            EXPECT_TRUE(test::FocusWindow(box));
            EXPECT_EQ(test::RunUnixCommand("xdotool key Escape"), 0);
        });
        CAboutDlg about;
        EXPECT_EQ(about.DoModal(), IDCANCEL);
    }
    {
        AboutBoxWatcher watcher([](HWND box) { PostMessageW(box, WM_CLOSE, 0, 0); });
        CAboutDlg about;
        EXPECT_EQ(about.DoModal(), IDCANCEL);
    }
}

TEST(AboutBox, WithoutAParentTheMainWindowOwnsIt) {
    HWND main = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ui::SetMainWindow(main);
    AboutBoxWatcher watcher([](HWND box) { PostMessageW(box, WM_COMMAND, IDOK, 0); });
    CAboutDlg about;
    EXPECT_EQ(about.DoModal(), IDOK);
    watcher.Join();
    EXPECT_EQ(watcher.seen.owner, main);
    ui::SetMainWindow(nullptr);
    DestroyWindow(main);
}

}  // namespace
}  // namespace orvello
