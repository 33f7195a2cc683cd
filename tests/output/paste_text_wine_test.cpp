// Pasting through the clipboard into a window of this process and into Wine's notepad, and
// what happens while another program holds the clipboard open.
#include <windows.h>

#include <gtest/gtest.h>

#include "output/output_win.h"
#include "tests/output/wine_output_support.h"
#include "tests/support/window_capture.h"

namespace orvello::test {
namespace {

using namespace std::chrono_literals;

const std::wstring kPasted = L"Zeile eins: Grüße\r\nzwei\t€ \U0001F600\r\n";

TEST(PasteTextIntoAWindow, EditControlShowsTheTextAndTheClipboardKeepsIt) {
    EditWindow window;
    ASSERT_TRUE(window.Focus());
    ASSERT_TRUE(PasteText(kPasted));
    EXPECT_TRUE(WaitUntil([&] { return window.Text() == kPasted; }))
        << "edit control holds: " << testing::PrintToString(window.Text());
    EXPECT_EQ(ClipboardTextDirect(), kPasted) << "CR LF stays CR LF on the clipboard";
}

TEST(PasteTextIntoAWindow, SendsCtrlDownVDownVUpCtrlUp) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    ASSERT_TRUE(PasteText(L"x"));
    ASSERT_TRUE(WaitUntil([&] { return window.keys.size() == 4; }));
    PumpMessages(100);
    const std::vector<KeyMessage> expected = {Pressed(VK_CONTROL), Pressed('V'), Released('V'),
                                              Released(VK_CONTROL)};
    EXPECT_EQ(window.keys, expected);
}

TEST(PasteTextIntoAWindow, EmptyTextLeavesTheClipboardAndSendsNothing) {
    ASSERT_TRUE(SetClipboardTextDirect(L"earlier"));
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    EXPECT_TRUE(PasteText(L""));
    PumpMessages(300);
    EXPECT_TRUE(window.keys.empty());
    EXPECT_EQ(ClipboardTextDirect(), L"earlier");
}

TEST(PasteTextIntoAnotherProcess, WinesNotepadPastesTheText) {
    Notepad notepad;
    ASSERT_TRUE(notepad.Started()) << "notepad did not open its window";
    ASSERT_TRUE(notepad.Focus());
    ASSERT_TRUE(PasteText(kPasted));
    EXPECT_TRUE(WaitUntil([&] { return notepad.Text() == kPasted; }, 10s))
        << "notepad holds: " << testing::PrintToString(notepad.Text());
    EXPECT_EQ(ClipboardTextDirect(), kPasted);
}

TEST(PasteTextWhileTheClipboardIsHeld, FailsWithoutSendingKeys) {
    ASSERT_TRUE(SetClipboardTextDirect(L"earlier"));
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.Holding()) << "the helper could not open the clipboard";
        EXPECT_FALSE(PasteText(L"must not arrive"));
        PumpMessages(300);
    }
    EXPECT_TRUE(window.keys.empty()) << "Ctrl+V was sent";
    EXPECT_EQ(ClipboardTextDirect(), L"earlier");
}

// The clipboard's previous owner, a window of this thread, closes the clipboard when it hears
// that it lost it (WM_DESTROYCLIPBOARD comes from inside EmptyClipboard): SetClipboardData
// then refuses the text, because the clipboard is no longer open.
TEST(PasteTextWhenTheClipboardRefusesTheText, FailsWithoutSendingKeys) {
    TestWindow previousOwner(L"previous clipboard owner");
    previousOwner.OnMessage([](UINT message, WPARAM, LPARAM) {
        if (message == WM_DESTROYCLIPBOARD) CloseClipboard();
        return false;
    });
    ASSERT_TRUE(OpenClipboard(previousOwner.hwnd()));
    EmptyClipboard();
    CloseClipboard();
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    EXPECT_FALSE(PasteText(L"refused"));
    PumpMessages(300);
    EXPECT_TRUE(window.keys.empty()) << "Ctrl+V was sent";
}

}  // namespace
}  // namespace orvello::test
