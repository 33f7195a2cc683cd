// The recognised text's trip through WM_APP_RESULT_TEXT: posted as a heap string, taken over by
// the handler, routed unless empty, and freed exactly once in every case.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

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
    void AppendLog(std::u16string_view line) override {
        ++routedCount;
        lastLineWasLongText =
            line == u"[Text: " + std::u16string(kLongText.begin(), kLongText.end()) + u"]\r\n";
    }
};

class ResultMessageTest : public testing::Test {
protected:
    ResultMessageTest() {
        window.OnMessage([this](UINT message, WPARAM, LPARAM lParam) {
            if (message != WM_APP_RESULT_TEXT) return false;
            (void)HandleResultTextMessage(lParam, State(), platform);
            return true;
        });
    }

    RoutingState State() const {
        return {dictationTrigger, commandTrigger, false, commands, TypingOptions{}};
    }

    TestWindow window{L"Orvello result message test"};
    TriggerDefinition dictationTrigger;
    TriggerDefinition commandTrigger;
    CommandStore commands;
    CountingPlatform platform;
};

TEST_F(ResultMessageTest, PostedTextIsRoutedOnceAndFreed) {
    const long before = liveHeapBlocks();
    const bool posted = PostResultText(window.hwnd(), kLongText);
    const long inFlight = liveHeapBlocks();
    const bool routed = WaitUntil([&] { return platform.routedCount == 1; });
    PumpMessages(100);
    const long after = liveHeapBlocks();

    ASSERT_TRUE(posted);
    EXPECT_EQ(inFlight, before + 2) << "the string and its characters travel on the heap";
    ASSERT_TRUE(routed);
    EXPECT_EQ(platform.routedCount, 1);
    EXPECT_TRUE(platform.lastLineWasLongText);
    EXPECT_EQ(after, before);
}

TEST_F(ResultMessageTest, EmptyTextIsFreedWithoutRouting) {
    const long before = liveHeapBlocks();
    const bool posted = PostResultText(window.hwnd(), L"");
    PumpMessages(300);
    const long after = liveHeapBlocks();

    ASSERT_TRUE(posted);
    EXPECT_EQ(platform.routedCount, 0);
    EXPECT_EQ(after, before);
}

TEST_F(ResultMessageTest, TextForAWindowThatIsGoneIsFreedBySender) {
    HWND gone = nullptr;
    {
        TestWindow closed(L"Orvello closed window");
        gone = closed.hwnd();
    }
    const long before = liveHeapBlocks();
    const bool posted = PostResultText(gone, kLongText);
    const long after = liveHeapBlocks();

    EXPECT_FALSE(posted);
    EXPECT_EQ(after, before);
}

TEST_F(ResultMessageTest, HandlerIgnoresANullTextAndReturnsZero) {
    EXPECT_EQ(HandleResultTextMessage(0, State(), platform), 0);
    EXPECT_EQ(platform.routedCount, 0);
}

TEST_F(ResultMessageTest, HandlerTakesOverTheTextItIsSent) {
    const long before = liveHeapBlocks();
    const LRESULT result = SendMessageW(window.hwnd(), WM_APP_RESULT_TEXT, 0,
                                        reinterpret_cast<LPARAM>(new std::wstring(kLongText)));
    const long after = liveHeapBlocks();
    const LRESULT direct = HandleResultTextMessage(
        reinterpret_cast<LPARAM>(new std::wstring(kLongText)), State(), platform);
    const long afterDirect = liveHeapBlocks();

    EXPECT_EQ(result, 0);
    EXPECT_EQ(direct, 0);
    EXPECT_EQ(platform.routedCount, 2);
    EXPECT_EQ(after, before);
    EXPECT_EQ(afterDirect, before);
}

}  // namespace
}  // namespace orvello::test
