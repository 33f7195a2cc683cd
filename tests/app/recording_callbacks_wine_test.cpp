// The recognition service's callbacks as the main window uses them: called on a thread of their
// own, each arrives as its application message, with texts converted to UTF-16.
#include "app/recording_callbacks_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/app_messages.h"
#include "app/text_message_win.h"
#include "tests/app/recording_message_pump.h"
#include "tests/support/test_window.h"

namespace orvello {
namespace {

struct PostedMessage {
    UINT message = 0;
    WPARAM wParam = 0;
    std::wstring text;

    friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

void PrintTo(const PostedMessage& posted, std::ostream* out) {
    *out << "{0x" << std::hex << posted.message << std::dec << ", " << posted.wParam << ", "
         << testing::PrintToString(posted.text) << "}";
}

class RecordingCallbacksTest : public testing::Test {
protected:
    void SetUp() override {
        window.OnMessage([this](UINT message, WPARAM wParam, LPARAM) {
            const bool fromCallbacks =
                (message >= WM_APP_STATUS_TEXT && message <= WM_APP_SESSION_DONE) ||
                message == WM_APP_LONG_QUIET;
            if (!fromCallbacks) return false;
            PostedMessage posted{.message = message, .wParam = wParam, .text = {}};
            if (message == WM_APP_STATUS_TEXT || message == WM_APP_RESULT_TEXT) {
                const std::optional<std::wstring> text = texts->Take(message);
                EXPECT_TRUE(text.has_value());
                if (text) posted.text = *text;
            }
            received.push_back(posted);
            return true;
        });
    }

    // Calls `use` with the callbacks on another thread, as the service does, then receives.
    void CallOnAnotherThread(const std::function<void(const RecognitionCallbacks&)>& use,
                             std::size_t expectedMessages) {
        const RecognitionCallbacks callbacks = MakeRecordingCallbacks(window.hwnd(), texts);
        std::thread([&] { use(callbacks); }).join();
        EXPECT_TRUE(test::PumpMessagesUntil([&] { return received.size() >= expectedMessages; }));
    }

    test::TestWindow window{L"Orvello recording callbacks"};
    SharedTextMailbox texts = std::make_shared<TextMailbox>();
    std::vector<PostedMessage> received;
};

TEST_F(RecordingCallbacksTest, EachCallbackPostsItsMessageInOrder) {
    CallOnAnotherThread(
        [](const RecognitionCallbacks& callbacks) {
            callbacks.onStatus("[Recording...]");
            callbacks.onLevel(0.4567f);  // 456.7 truncates to 456
            callbacks.onLevel(1.0f);
            callbacks.onLevel(0.0009f);
            callbacks.onLongQuiet();
            callbacks.onCaptureEnded();
            callbacks.onStatus("[Transcribing...]");
            callbacks.onText("open browser");
            callbacks.onStatus("[Ready]");
            callbacks.onFinished();
        },
        10);
    EXPECT_EQ(received, (std::vector<PostedMessage>{
                            {WM_APP_STATUS_TEXT, 0, L"[Recording...]"},
                            {WM_APP_AUDIO_LEVEL, 456, L""},
                            {WM_APP_AUDIO_LEVEL, 1000, L""},
                            {WM_APP_AUDIO_LEVEL, 0, L""},
                            {WM_APP_LONG_QUIET, 0, L""},
                            {WM_APP_CAPTURE_DONE, 0, L""},
                            {WM_APP_STATUS_TEXT, 0, L"[Transcribing...]"},
                            {WM_APP_RESULT_TEXT, 0, L"open browser"},
                            {WM_APP_STATUS_TEXT, 0, L"[Ready]"},
                            {WM_APP_SESSION_DONE, 0, L""},
                        }));
}

TEST_F(RecordingCallbacksTest, RecognisedTextArrivesAsUtf16WithItsAccentedLetters) {
    CallOnAnotherThread(
        [](const RecognitionCallbacks& callbacks) {
            callbacks.onText("caf\xC3\xA9 na\xC3\xAFve \xE2\x82\xAC 5 \xF0\x9F\x8E\xA4");
        },
        1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].text, L"caf\u00E9 na\u00EFve \u20AC 5 \U0001F3A4");
}

TEST_F(RecordingCallbacksTest, StatusTextIsReadInTheAnsiCodePage) {
    // "Error: " with a path in the ANSI code page, as system and path texts come.
    const std::wstring expected = L"Error: C:\\Users\\Ren\u00E9e\\models";
    const int size =
        WideCharToMultiByte(CP_THREAD_ACP, 0, expected.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(std::size_t(size - 1), '\0');
    WideCharToMultiByte(CP_THREAD_ACP, 0, expected.c_str(), -1, ansi.data(), size, nullptr,
                        nullptr);
    ASSERT_NE(ansi.find('\\'), std::string::npos);
    ASSERT_EQ(ansi.find("\xC3\xA9"), std::string::npos)
        << "this test needs a single-byte ANSI code page, not " << GetACP();

    CallOnAnotherThread([&](const RecognitionCallbacks& callbacks) { callbacks.onStatus(ansi); },
                        1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].text, expected);
}

TEST_F(RecordingCallbacksTest, PostsToAWindowThatIsGoneAreDropped) {
    const RecognitionCallbacks callbacks = MakeRecordingCallbacks(window.hwnd(), texts);
    DestroyWindow(window.hwnd());
    std::thread([&] {
        callbacks.onStatus("[Ready]");
        callbacks.onText("hello");
        callbacks.onLevel(0.5f);
        callbacks.onFinished();
    }).join();
    test::PumpMessagesFor(std::chrono::milliseconds(100));
    EXPECT_TRUE(received.empty());
    EXPECT_FALSE(texts->Take(WM_APP_STATUS_TEXT).has_value()) << "a text stayed behind";
    EXPECT_FALSE(texts->Take(WM_APP_RESULT_TEXT).has_value()) << "a text stayed behind";
}

}  // namespace
}  // namespace orvello
