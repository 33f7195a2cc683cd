// Pasting that leaves the user's clipboard as it was, on the real clipboard: the content put back
// in every format, content that came meanwhile left alone, a busy clipboard tried again and then
// given up with a log line, and {clipboard} reading the user's text while a dictation is on it.
#include <windows.h>
// After windows.h, which it needs.
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "output/clipboard_keeper_win.h"
#include "tests/output/wine_output_support.h"
#include "tests/support/window_capture.h"

namespace orvello::test {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<std::byte>;

const std::wstring kUsersText = L"what the user copied: Grüße";

struct Format {
    UINT format;
    Bytes bytes;
};

Bytes BytesOf(std::string_view text) {
    const auto* begin = reinterpret_cast<const std::byte*>(text.data());
    return Bytes(begin, begin + text.size() + 1);
}

Bytes TextBytes(const std::wstring& text) {
    const auto* begin = reinterpret_cast<const std::byte*>(text.c_str());
    return Bytes(begin, begin + (text.size() + 1) * sizeof(wchar_t));
}

// A 2 x 1 pixel device-independent bitmap.
Bytes SmallDib() {
    BITMAPINFOHEADER header{sizeof header, 2, 1, 1, 32, BI_RGB, 8, 0, 0, 0, 0};
    Bytes bytes(sizeof header + 8, std::byte{0x5A});
    std::memcpy(bytes.data(), &header, sizeof header);
    return bytes;
}

// A file list as Explorer copies it: DROPFILES, then NUL-separated wide paths and a final NUL.
Bytes FileList() {
    DROPFILES header{sizeof header, {0, 0}, FALSE, TRUE};
    const std::wstring paths = std::wstring(L"C:\\notes.txt") + L'\0' + L"C:\\photo.jpg" + L'\0';
    Bytes bytes(sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
    const Bytes pathBytes = TextBytes(paths);
    bytes.insert(bytes.end(), pathBytes.begin(), pathBytes.end());
    return bytes;
}

// The user's content: text, HTML, rich text, a picture and a file list.
std::vector<Format> UsersContent() {
    return {{CF_UNICODETEXT, TextBytes(kUsersText)},
            {RegisterClipboardFormatW(L"HTML Format"), BytesOf("Version:0.9\r\n<b>Grüße</b>")},
            {RegisterClipboardFormatW(L"Rich Text Format"), BytesOf("{\\rtf1 {\\b bold}}")},
            {CF_DIB, SmallDib()},
            {CF_HDROP, FileList()}};
}

bool PutOnClipboard(const std::vector<Format>& formats) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    bool all = true;
    for (const Format& format : formats) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, format.bytes.size());
        std::memcpy(GlobalLock(block), format.bytes.data(), format.bytes.size());
        GlobalUnlock(block);
        all = SetClipboardData(format.format, block) != nullptr && all;
    }
    CloseClipboard();
    return all;
}

// The clipboard's bytes in a format, at most `size` of them; empty when it has none.
Bytes ClipboardBytes(UINT format, std::size_t size) {
    Bytes bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE data = GetClipboardData(format)) {
        const auto* locked = static_cast<const std::byte*>(GlobalLock(data));
        if (locked) bytes.assign(locked, locked + std::min<std::size_t>(size, GlobalSize(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

// Another thread of this process holds the clipboard open for a while, as a busy program would.
// It opens it with a window of its own: Wine lets a second opening without a window through.
class BusyClipboard {
public:
    explicit BusyClipboard(std::chrono::milliseconds duration)
        : thread_([this, duration] {
              HWND owner = CreateWindowExW(0, L"STATIC", L"busy clipboard", 0, 0, 0, 0, 0,
                                           HWND_MESSAGE, nullptr, nullptr, nullptr);
              opened_ = OpenClipboard(owner) != FALSE;
              SetEvent(held_);
              std::this_thread::sleep_for(duration);
              if (opened_) CloseClipboard();
              DestroyWindow(owner);
          }) {
        WaitForSingleObject(held_, 5000);
    }
    ~BusyClipboard() {
        thread_.join();
        CloseHandle(held_);
    }
    [[nodiscard]] bool Holding() const { return opened_; }

private:
    HANDLE held_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    bool opened_ = false;
    std::thread thread_;
};

class ClipboardKeeperTest : public ::testing::Test {
protected:
    static constexpr UINT_PTR kTimerId = 1;

    ClipboardKeeperTest() {
        timerWindow_.OnMessage([this](UINT message, WPARAM wParam, LPARAM) {
            if (message != WM_TIMER || wParam != kTimerId) return false;
            keeper.OnRestoreTimer();
            return true;
        });
    }

    std::vector<std::wstring> log;

private:
    TestWindow timerWindow_{L"clipboard keeper timer"};

protected:
    ClipboardKeeper keeper{timerWindow_.hwnd(), kTimerId,
                           [this](std::wstring_view line) { log.emplace_back(line); }};
};

TEST_F(ClipboardKeeperTest, TheUsersContentComesBackInEveryFormatAfterThePaste) {
    const std::vector<Format> content = UsersContent();
    EditWindow target;
    ASSERT_TRUE(target.Focus());
    for (const wchar_t* dictation : {L"first ", L"second "}) {
        ASSERT_TRUE(PutOnClipboard(content));
        // Two pastes in a row: the second, unless the machine is very slow, finds the first
        // dictation on the clipboard rather than the user's content.
        ASSERT_TRUE(keeper.PasteText(L"dictated "));
        EXPECT_TRUE(WaitUntil([&] { return target.Text().ends_with(L"dictated "); }, 10s));
        ASSERT_TRUE(keeper.PasteText(dictation));
        // The dictation on its way is kept out of clipboard history and the cloud clipboard.
        for (const wchar_t* mark :
             {L"ExcludeClipboardContentFromMonitorProcessing", L"CanIncludeInClipboardHistory",
              L"CanUploadToCloudClipboard"}) {
            EXPECT_EQ(ClipboardBytes(RegisterClipboardFormatW(mark), 4), Bytes(4)) << mark;
        }
        EXPECT_EQ(keeper.UserClipboardText(100), kUsersText);
        EXPECT_TRUE(WaitUntil([&] { return target.Text().ends_with(dictation); }, 10s));
        EXPECT_TRUE(WaitUntil([&] { return ClipboardTextDirect() == kUsersText; }, 5s));
        for (const Format& format : content) {
            EXPECT_EQ(ClipboardBytes(format.format, format.bytes.size()), format.bytes)
                << "format " << format.format;
        }
    }
    EXPECT_EQ(target.Text(), L"dictated first dictated second ");
    EXPECT_EQ(log, std::vector<std::wstring>{});
}

TEST_F(ClipboardKeeperTest, ContentPutThereMeanwhileIsLeftAlone) {
    KeyRecordingWindow target;
    ASSERT_TRUE(target.Focus());
    ASSERT_TRUE(SetClipboardTextDirect(kUsersText));
    ASSERT_TRUE(keeper.PasteText(L"dictated"));
    ASSERT_TRUE(SetClipboardTextDirect(L"copied meanwhile"));
    EXPECT_EQ(keeper.UserClipboardText(100), L"copied meanwhile");
    PumpMessages(1000);
    EXPECT_EQ(ClipboardTextDirect(), L"copied meanwhile");
    EXPECT_EQ(log, std::vector<std::wstring>{});
}

// Tries go on for about a second after the half second's wait.
TEST_F(ClipboardKeeperTest, ABusyClipboardIsTriedAgainThenGivenUpWithALogLine) {
    const struct {
        std::chrono::milliseconds busy;
        std::wstring clipboardAfter;
        std::vector<std::wstring> log;
    } cases[] = {
        {700ms, kUsersText, {}},
        {2500ms,
         L"dictated",
         {L"Clipboard: another program kept it open, so what you had copied could not be put "
          L"back after the paste.\r\n"}},
    };
    KeyRecordingWindow target;
    ASSERT_TRUE(target.Focus());
    for (const auto& c : cases) {
        log.clear();
        ASSERT_TRUE(SetClipboardTextDirect(kUsersText));
        ASSERT_TRUE(keeper.PasteText(L"dictated"));
        {
            BusyClipboard busy(c.busy);
            ASSERT_TRUE(busy.Holding());
            PumpMessages(int(c.busy.count()));
        }
        PumpMessages(1200);
        EXPECT_EQ(ClipboardTextDirect(), c.clipboardAfter) << c.busy.count() << " ms busy";
        EXPECT_EQ(log, c.log) << c.busy.count() << " ms busy";
    }
}

}  // namespace
}  // namespace orvello::test
