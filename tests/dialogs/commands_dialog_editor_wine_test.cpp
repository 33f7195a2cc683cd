// The commands dialog as the program builds it, with the real command editor: "New", "Edit" and
// what the editor's OK and Cancel leave in the table.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/dialogs/commands_dialog_fixture.h"

namespace orvello::test {
namespace {

// Runs `act` on this thread as soon as the command editor shows (it runs modally inside the
// button's handler); `seen` tells whether it did.
class WhenEditorShows {
public:
    explicit WhenEditorShows(std::function<void(HWND)> act) {
        pending_ = std::move(act);
        seen_ = false;
        timer_ = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
            HWND editor = FindWindowW(L"#32770", L"Edit Command");
            if (editor == nullptr || seen_) return;
            KillTimer(nullptr, id);
            seen_ = true;
            pending_(editor);
        });
    }
    ~WhenEditorShows() {
        KillTimer(nullptr, timer_);
        pending_ = {};
    }
    WhenEditorShows(const WhenEditorShows&) = delete;
    WhenEditorShows& operator=(const WhenEditorShows&) = delete;

    [[nodiscard]] bool Seen() const { return seen_; }

private:
    static inline std::function<void(HWND)> pending_;
    static inline bool seen_ = false;
    UINT_PTR timer_ = 0;
};

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), LPARAM(GetDlgItem(dialog, id)));
}

class CommandsDialogWithEditor : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dialog.Create());
        ASSERT_TRUE(ShowAndFocus(dialog.Hwnd()));
    }
    CCommandsDialog dialog{
        {Command(u"copy"), Command(u"paste")}, AnyKeyboard({RA}), AnyKeyboard({RC}), true, nullptr};
};

TEST_F(CommandsDialogWithEditor, NewAppendsWhatTheEditorAccepted) {
    const DialogView view(dialog.Hwnd());
    std::wstring phraseShown = L"<editor not seen>";
    {
        WhenEditorShows editor([&](HWND window) {
            phraseShown = TextOf(GetDlgItem(window, IDC_EDITOR_PHRASE));
            SetDlgItemTextW(window, IDC_EDITOR_PHRASE, L" Check Mail. ");
            Press(window, IDOK);
        });
        view.Click(IDC_COMMANDS_NEW);
        EXPECT_TRUE(editor.Seen());
    }
    EXPECT_EQ(phraseShown, L"") << "a new command starts with an empty phrase";
    ASSERT_EQ(dialog.Commands().size(), 3u);
    EXPECT_EQ(dialog.Commands()[2].phrase, u"check mail");
    EXPECT_EQ(dialog.Commands()[2].steps.size(), 1u);
    EXPECT_EQ(view.Rows()[2], (ShownRow{L"ON", L"check mail", L"KeyChord", false}));
    EXPECT_EQ(view.Selection(), 2);
}

TEST_F(CommandsDialogWithEditor, EditShowsTheSelectedCommandAndOnlyOkChangesIt) {
    const DialogView view(dialog.Hwnd());
    SendMessageW(view.Table(), LB_SETCURSEL, 1, 0);
    view.SendCommand(IDC_COMMANDS_TABLE, LBN_SELCHANGE);

    std::wstring phraseShown;
    {
        WhenEditorShows editor([&](HWND window) {
            phraseShown = TextOf(GetDlgItem(window, IDC_EDITOR_PHRASE));
            SetDlgItemTextW(window, IDC_EDITOR_PHRASE, L"never stored");
            Press(window, IDCANCEL);
        });
        view.Click(IDC_COMMANDS_EDIT);
        EXPECT_TRUE(editor.Seen());
    }
    EXPECT_EQ(phraseShown, L"paste");
    EXPECT_EQ(dialog.Commands()[1], Command(u"paste"));

    {
        WhenEditorShows editor([](HWND window) {
            SendMessageW(GetDlgItem(window, IDC_EDITOR_ENABLED), BM_CLICK, 0, 0);
            Press(window, IDOK);
        });
        view.Click(IDC_COMMANDS_EDIT);
        EXPECT_TRUE(editor.Seen());
    }
    EXPECT_FALSE(dialog.Commands()[1].enabled);
    EXPECT_EQ(view.Rows()[1], (ShownRow{L"OFF", L"paste", L"KeyChord", true}));
    EXPECT_EQ(view.Selection(), 1);
}

}  // namespace
}  // namespace orvello::test
