// The recognised text's trip through WM_APP_RESULT_TEXT: queued in the window's mailbox, taken by
// the handler, routed unless empty, and freed exactly once in every case; the message itself
// carries nothing, so another program's message is ignored.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/app_messages.h"
#include "app/dictation_router_win.h"
#include "app/text_message_win.h"
#include "tests/app/live_heap_counter.h"
#include "tests/output/wine_output_support.h"
#include "tests/support/window_capture.h"

namespace orvello::test {
namespace {

// Long enough that the string keeps its characters in a heap block of their own.
const std::wstring kLongText = L"a recognised text long enough to need a buffer of its own";

// Counts routed texts without keeping anything on the heap, so that the live block count
// before a message and after its handling must be equal.
class CountingPlatform final : public RoutingPlatform {
public:
    int routedCount = 0;
    bool lastLineWasLongText = false;

    bool IsTestMode() override { return true; }  // routing only logs
    bool ExecuteCommand(const VoiceCommand&, std::u16string&) override { return false; }
    void PlayCommandSound() override {}
    bool TypeText(std::u16string_view) override { return false; }
    bool PasteText(std::u16string_view) override { return false; }
    bool WaitForKeysUp(std::span<const ModifierKey>) override { return true; }
    void AppendLog(std::u16string_view line) override {
        ++routedCount;
        lastLineWasLongText =
            line == u"[Text: " + std::u16string(kLongText.begin(), kLongText.end()) + u"]\r\n";
    }
};

class ResultMessageTest : public testing::Test {
protected:
    ResultMessageTest() {
        window.OnMessage([this](UINT message, WPARAM, LPARAM) {
            if (message != WM_APP_RESULT_TEXT) return false;
            (void)HandleResultTextMessage(texts, State(), platform);
            return true;
        });
    }

    RoutingState State() const {
        return {dictationTrigger, commandTrigger, false, commands, replacements, TypingOptions{}};
    }

    TestWindow window{L"Orvello result message test"};
    TextMailbox texts;
    TriggerDefinition dictationTrigger;
    TriggerDefinition commandTrigger;
    CommandStore commands;
    ReplacementStore replacements;
    CountingPlatform platform;
};

TEST_F(ResultMessageTest, PostedTextIsRoutedOnceAndFreed) {
    const long before = liveHeapBlocks();
    const bool posted = texts.Post(window.hwnd(), WM_APP_RESULT_TEXT, kLongText);
    const long inFlight = liveHeapBlocks();
    const bool routed = WaitUntil([&] { return platform.routedCount == 1; });
    PumpMessages(100);
    const long after = liveHeapBlocks();

    ASSERT_TRUE(posted);
    EXPECT_EQ(inFlight, before + 2) << "the queued text and its characters live on the heap";
    ASSERT_TRUE(routed);
    EXPECT_EQ(platform.routedCount, 1);
    EXPECT_TRUE(platform.lastLineWasLongText);
    EXPECT_EQ(after, before);
}

TEST_F(ResultMessageTest, EmptyTextIsFreedWithoutRouting) {
    const long before = liveHeapBlocks();
    const bool posted = texts.Post(window.hwnd(), WM_APP_RESULT_TEXT, L"");
    PumpMessages(300);
    const long after = liveHeapBlocks();

    ASSERT_TRUE(posted);
    EXPECT_EQ(platform.routedCount, 0);
    EXPECT_EQ(after, before);
}

TEST_F(ResultMessageTest, TextForAWindowThatIsGoneIsTakenBackBySender) {
    HWND gone = nullptr;
    {
        TestWindow closed(L"Orvello closed window");
        gone = closed.hwnd();
    }
    const long before = liveHeapBlocks();
    const bool posted = texts.Post(gone, WM_APP_RESULT_TEXT, kLongText);
    const long after = liveHeapBlocks();

    EXPECT_FALSE(posted);
    EXPECT_EQ(after, before);
}

// Any program can post the message number, with anything in lParam: nothing of ours is waiting,
// so nothing is routed, and a text posted afterwards is still routed once.
TEST_F(ResultMessageTest, AnotherProgramsMessageIsIgnored) {
    EXPECT_EQ(SendMessageW(window.hwnd(), WM_APP_RESULT_TEXT, 0, LPARAM(0x5EED)), 0);
    EXPECT_EQ(platform.routedCount, 0);
    ASSERT_TRUE(texts.Post(window.hwnd(), WM_APP_RESULT_TEXT, kLongText));
    EXPECT_TRUE(WaitUntil([&] { return platform.routedCount == 1; }));
    EXPECT_TRUE(platform.lastLineWasLongText);
}

}  // namespace
}  // namespace orvello::test
