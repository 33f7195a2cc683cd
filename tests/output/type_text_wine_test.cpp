// Typing with SendInput into a window of this process and into Wine's notepad: accents, a
// character above U+FFFF, tabs and line breaks arrive as the event list predicts.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "output/output_win.h"
#include "tests/output/wine_output_support.h"
#include "tests/support/window_capture.h"

namespace orvello::test {
namespace {

using namespace std::chrono_literals;

// LF alone and CR LF each become Enter, which a multi-line edit control stores as CR LF;
// a lone CR is dropped.
const std::wstring kTyped = L"Grüße, naïve café\t\U0001D11E €\r\nzweite Zeile\nEnde\r";
const std::wstring kArrived = L"Grüße, naïve café\t\U0001D11E €\r\nzweite Zeile\r\nEnde";

TEST(TypeTextIntoAWindow, EditControlShowsTheTextAsPredicted) {
    EditWindow window;
    ASSERT_TRUE(window.Focus());
    ASSERT_TRUE(TypeText(kTyped));
    EXPECT_TRUE(WaitUntil([&] { return window.Text() == kArrived; }))
        << "edit control holds: " << testing::PrintToString(window.Text());
}

TEST(TypeTextIntoAWindow, TabIsACharacterAndLineFeedIsTheEnterKey) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    ASSERT_TRUE(TypeText(L"a\tb\r\n\U0001D11E"));
    ASSERT_TRUE(WaitUntil([&] { return window.characters.size() == 6; }));
    PumpMessages(100);

    EXPECT_EQ(window.characters, L"a\tb\r\U0001D11E");
    // A Unicode character comes as VK_PACKET with the code unit where the scan code would be,
    // so the extended bit of those messages is a bit of the character: only keys are compared.
    std::vector<std::pair<UINT, UINT>> keys;
    for (const KeyMessage& key : window.keys) keys.emplace_back(key.message, key.virtualKey);
    std::vector<std::pair<UINT, UINT>> expected;
    auto press = [&](UINT virtualKey) {
        expected.emplace_back(WM_KEYDOWN, virtualKey);
        expected.emplace_back(WM_KEYUP, virtualKey);
    };
    for (int unit = 0; unit < 3; ++unit) press(VK_PACKET);
    press(VK_RETURN);
    for (int half = 0; half < 2; ++half) press(VK_PACKET);
    EXPECT_EQ(keys, expected) << "no Tab key, one Enter for CR LF";
}

TEST(TypeTextIntoAWindow, NothingToTypeSucceedsWithoutInput) {
    KeyRecordingWindow window;
    ASSERT_TRUE(window.Focus());
    EXPECT_TRUE(TypeText(L""));
    EXPECT_TRUE(TypeText(L"\r"));
    PumpMessages(300);
    EXPECT_TRUE(window.keys.empty());
    EXPECT_TRUE(window.characters.empty());
}

TEST(TypeTextIntoAnotherProcess, WinesNotepadReceivesTheText) {
    Notepad notepad;
    ASSERT_TRUE(notepad.Started()) << "notepad did not open its window";
    ASSERT_TRUE(notepad.Focus());
    ASSERT_TRUE(TypeText(kTyped));
    EXPECT_TRUE(WaitUntil([&] { return notepad.Text() == kArrived; }, 10s))
        << "notepad holds: " << testing::PrintToString(notepad.Text());
}

}  // namespace
}  // namespace orvello::test
