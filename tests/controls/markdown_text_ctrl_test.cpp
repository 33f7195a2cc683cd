// The help view hosted in a real window under Wine: wrapping against GDI's own measurements,
// the scroll bar, scroll requests, the wheel, resizing and what the pixels show.
#include "controls/markdown_text_ctrl_win.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/controls/markdown_test_host.h"
#include "tests/support/window_capture.h"
#include "ui/dpi.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

using test::Image;
using test::MarkdownTestHost;

constexpr int kFrameWidthPx = 380;
constexpr int kFrameHeightPx = 220;

constexpr wchar_t kParagraph[] =
    L"Orvello types what you say into the window that has the focus, entirely on your own "
    L"computer, and nothing you say ever leaves it. Hold the trigger, speak a sentence or two, "
    L"then let go and the words appear where the caret is.";

constexpr wchar_t kHelp[] =
    L"## Push to Talk\r\n"
    L"Hold the **trigger**, speak, and release: the text is typed into the *focused* window. "
    L"Nothing is sent anywhere.\r\n"
    L"\r\n"
    L"### Steps\r\n"
    L"- **Select your microphone** from the list and press *Use Selected Input*.\r\n"
    L"- Speak while holding the trigger; the overlay shows your level as you talk.\r\n"
    L"- Release the trigger and the words are typed into the focused application.\r\n"
    L"\r\n"
    L"```\r\n"
    L"    indented code line\r\n"
    L"```\r\n"
    L"Names like my_var_name and `__init__` keep readable, and so does a lone * here.\r\n"
    L"\r\n"
    L"### Tips\r\n"
    L"- *Right Ctrl* makes an ideal trigger: applications rarely use it.\r\n"
    L"- The log area shows every result and command match while you try things out.\r\n";

int ClientHeightOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.bottom - client.top;
}

int ClientWidthOf(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client.right - client.left;
}

int CountPixels(const Image& image, COLORREF colour, const RECT& area) {
    const uint32_t wanted = (uint32_t(GetRValue(colour)) << 16) |
                            (uint32_t(GetGValue(colour)) << 8) | GetBValue(colour);
    int count = 0;
    for (int y = area.top; y < area.bottom && y < image.height; ++y) {
        for (int x = area.left; x < area.right && x < image.width; ++x) {
            if (image.At(x, y) == wanted) ++count;
        }
    }
    return count;
}

// Configured like the main window's help view: black on the button face, base size 14.
class MarkdownTextCtrlTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { host_ = new MarkdownTestHost(kFrameWidthPx, kFrameHeightPx); }
    static void TearDownTestSuite() { delete std::exchange(host_, nullptr); }

    void SetUp() override {
        ASSERT_TRUE(host_->IsWindow());
        host_->ResetWheelCount();
        frame_ = host_->AddFrame(kFrameWidthPx, kFrameHeightPx);
        ASSERT_TRUE(control_.SubclassWindow(frame_));
        control_.SetColors(RGB(0, 0, 0), GetSysColor(COLOR_BTNFACE));
        control_.SetBaseFontSize(14);
    }
    void TearDown() override { DestroyWindow(frame_); }

    void ShowText(const wchar_t* markdown) {
        control_.SetText(markdown);
        test::PumpMessages(30);
    }

    void Repaint() {
        control_.UpdateWindow();
        test::PumpMessages(30);
    }

    [[nodiscard]] int WrapWidthPx() const {
        return ClientWidthOf(control_.Hwnd()) - GetSystemMetrics(SM_CXVSCROLL) - 10;
    }
    [[nodiscard]] int MaxScrollPx() const {
        return control_.ContentHeight() - ClientHeightOf(control_.Hwnd());
    }

    LRESULT Scroll(WORD request, WORD thumbPos = 0) {
        return SendMessageW(control_.Hwnd(), WM_VSCROLL, MAKEWPARAM(request, thumbPos),
                            LPARAM(control_.ScrollBar()));
    }
    LRESULT Wheel(short delta) {
        return SendMessageW(control_.Hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(delta)),
                            MAKELPARAM(100, 100));
    }

    static inline MarkdownTestHost* host_ = nullptr;
    HWND frame_ = nullptr;
    CMarkdownTextCtrl control_;
};

TEST_F(MarkdownTextCtrlTest, AdoptsTheFrameStaticAndAddsARightAlignedScrollBar) {
    const LONG_PTR style = GetWindowLongPtrW(control_.Hwnd(), GWL_STYLE);
    EXPECT_EQ(style & SS_TYPEMASK, 0);
    EXPECT_NE(style & SS_NOTIFY, 0);

    HWND bar = GetDlgItem(control_.Hwnd(), CMarkdownTextCtrl::kScrollBarId);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar, control_.ScrollBar());
    wchar_t className[32] = {};
    GetClassNameW(bar, className, 32);
    EXPECT_STREQ(className, L"ScrollBar");
    EXPECT_NE(GetWindowLongPtrW(bar, GWL_STYLE) & SBS_VERT, 0);
    RECT barRect{};
    GetWindowRect(bar, &barRect);
    MapWindowPoints(nullptr, control_.Hwnd(), reinterpret_cast<POINT*>(&barRect), 2);
    const int barWidthPx = GetSystemMetrics(SM_CXVSCROLL);
    // Right-aligned bars take the system's default width, which may be a pixel wider.
    EXPECT_GE(barRect.right - barRect.left, barWidthPx);
    EXPECT_LE(barRect.right - barRect.left, barWidthPx + 1);
    EXPECT_EQ(barRect.right, kFrameWidthPx);
    EXPECT_EQ(barRect.top, 0);
    EXPECT_EQ(barRect.bottom, kFrameHeightPx);
}

TEST_F(MarkdownTextCtrlTest, FontsFollowTheBaseSizeAtTheWindowsDpi) {
    const int dpi = ui::DpiForWindow(control_.Hwnd());
    const auto logFont = [&](MarkdownFont font) {
        LOGFONTW description{};
        GetObjectW(control_.Font(font), sizeof description, &description);
        return description;
    };
    EXPECT_EQ(logFont(MarkdownFont::Normal).lfHeight, MulDiv(14, dpi, 96));
    EXPECT_STREQ(logFont(MarkdownFont::Normal).lfFaceName, L"Segoe UI");
    EXPECT_EQ(logFont(MarkdownFont::BoldItalic).lfWeight, 700);
    EXPECT_TRUE(logFont(MarkdownFont::BoldItalic).lfItalic);
    EXPECT_EQ(logFont(MarkdownFont::Code).lfHeight, MulDiv(12, dpi, 96));
    EXPECT_STREQ(logFont(MarkdownFont::Code).lfFaceName, L"Consolas");
    EXPECT_EQ(logFont(MarkdownFont::Code).lfPitchAndFamily, FIXED_PITCH | FF_MODERN);
    EXPECT_EQ(logFont(MarkdownFont::Heading1).lfHeight, MulDiv(24, dpi, 96));
    EXPECT_EQ(logFont(MarkdownFont::Heading2).lfHeight, MulDiv(21, dpi, 96));
    EXPECT_EQ(logFont(MarkdownFont::Heading3).lfHeight, MulDiv(16, dpi, 96));
    EXPECT_EQ(logFont(MarkdownFont::Heading3).lfQuality, CLEARTYPE_QUALITY);
}

// Checks the wrapping against widths measured here, with a font made independently of the
// control's, so that the control's own measurements are not simply compared with themselves.
TEST_F(MarkdownTextCtrlTest, WrapsAParagraphWhereTheNextWordWouldPassTheWrapWidth) {
    ShowText(kParagraph);
    const auto& lines = control_.Lines();
    ASSERT_GE(lines.size(), 3u);

    const int dpi = ui::DpiForWindow(control_.Hwnd());
    ui::UniqueFont normal(CreateFontW(MulDiv(14, dpi, 96), 0, 0, 0, 400, FALSE, FALSE, FALSE,
                                      DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                      CLEARTYPE_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Segoe UI"));
    ui::WindowDc dc(control_.Hwnd());
    ui::SelectionScope selected(dc.Get(), normal.Get());
    const auto widthOf = [&](const std::u16string& text) {
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), reinterpret_cast<const wchar_t*>(text.c_str()),
                              int(text.size()), &extent);
        return int(extent.cx);
    };
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);

    std::u16string rejoined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        int endPx = 4;
        for (std::size_t s = 0; s < lines[i].segments.size(); ++s) {
            EXPECT_EQ(lines[i].segmentWidthsPx[s], widthOf(lines[i].segments[s].text));
            endPx += widthOf(lines[i].segments[s].text);
            rejoined += lines[i].segments[s].text;
        }
        EXPECT_LE(endPx, WrapWidthPx()) << "line " << i;
        EXPECT_EQ(lines[i].height, metrics.tmHeight + metrics.tmExternalLeading + 4);
        if (i + 1 < lines.size()) {
            EXPECT_GT(endPx + widthOf(lines[i + 1].segments.front().text), WrapWidthPx())
                << "line " << i << " had room for the next word";
        }
    }
    EXPECT_EQ(rejoined, std::u16string(AsUtf16(kParagraph)));
}

TEST_F(MarkdownTextCtrlTest, EmptyLinesAreOneNormalLineHighAndListItemsIndented) {
    ShowText(
        L"first\r\n\r\n- item that is long enough to wrap onto a second line of this view "
        L"because it goes on and on");
    const auto& lines = control_.Lines();
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[1].height, control_.LineHeight());
    EXPECT_TRUE(lines[1].segments.empty());
    EXPECT_EQ(lines[2].segments.front().text, u"\u2022 ");
    EXPECT_EQ(lines[2].indentLevel, 1);
    EXPECT_EQ(lines[3].indentLevel, 1);
    int total = 0;
    for (const FormattedLine& line : lines) total += line.height;
    EXPECT_EQ(control_.ContentHeight(), total);
}

TEST_F(MarkdownTextCtrlTest, ScrollBarShowsOnlyWhileTheContentIsTallerThanTheView) {
    ShowText(kHelp);
    ASSERT_GT(control_.ContentHeight(), kFrameHeightPx);
    EXPECT_TRUE(IsWindowVisible(control_.ScrollBar()));
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(control_.ScrollBar(), SB_CTL, &info));
    EXPECT_EQ(info.nMin, 0);
    EXPECT_EQ(info.nMax, control_.ContentHeight());
    EXPECT_EQ(info.nPage, UINT(kFrameHeightPx));
    EXPECT_EQ(info.nPos, 0);

    ShowText(L"## Short\r\nOne line.");
    EXPECT_LT(control_.ContentHeight(), kFrameHeightPx);
    EXPECT_FALSE(IsWindowVisible(control_.ScrollBar()));
    EXPECT_EQ(control_.ScrollPos(), 0);
}

TEST_F(MarkdownTextCtrlTest, ScrollRequestsMoveByLinesAndPagesWithinTheContent) {
    ShowText(kHelp);
    const int lineHeight = control_.LineHeight();
    ASSERT_GT(lineHeight, 0);
    Scroll(SB_LINEDOWN);
    EXPECT_EQ(control_.ScrollPos(), lineHeight);
    EXPECT_EQ(GetScrollPos(control_.ScrollBar(), SB_CTL), lineHeight);
    Scroll(SB_LINEUP);
    Scroll(SB_LINEUP);
    EXPECT_EQ(control_.ScrollPos(), 0);
    Scroll(SB_PAGEDOWN);
    EXPECT_EQ(control_.ScrollPos(), std::min(kFrameHeightPx, MaxScrollPx()));
    Scroll(SB_THUMBTRACK, 37);
    EXPECT_EQ(control_.ScrollPos(), 37);
    Scroll(SB_BOTTOM);
    EXPECT_EQ(control_.ScrollPos(), MaxScrollPx());
    Scroll(SB_PAGEDOWN);
    EXPECT_EQ(control_.ScrollPos(), MaxScrollPx());
    EXPECT_EQ(GetScrollPos(control_.ScrollBar(), SB_CTL), MaxScrollPx());
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(control_.ScrollPos(), MaxScrollPx());
    Scroll(SB_TOP);
    EXPECT_EQ(control_.ScrollPos(), 0);
}

TEST_F(MarkdownTextCtrlTest, WheelNotchScrollsThreeLinesAndPartNotchesNothing) {
    ShowText(kHelp);
    const int lineHeight = control_.LineHeight();
    EXPECT_EQ(Wheel(-WHEEL_DELTA), 0);
    EXPECT_EQ(control_.ScrollPos(), 3 * lineHeight);
    EXPECT_EQ(GetScrollPos(control_.ScrollBar(), SB_CTL), 3 * lineHeight);
    Wheel(-WHEEL_DELTA / 2);
    EXPECT_EQ(control_.ScrollPos(), 3 * lineHeight);
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(control_.ScrollPos(), 0);
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(control_.ScrollPos(), 0);
    Wheel(-20 * WHEEL_DELTA);
    EXPECT_EQ(control_.ScrollPos(), MaxScrollPx());
    EXPECT_EQ(host_->WheelMessagesReceived(), 0);  // every wheel was the view's
}

TEST_F(MarkdownTextCtrlTest, WheelOverContentThatFitsGoesOnToTheParent) {
    ShowText(L"Short text.");
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(control_.ScrollPos(), 0);
    EXPECT_EQ(host_->WheelMessagesReceived(), 1);
}

TEST_F(MarkdownTextCtrlTest, ScrolledViewShowsLaterLines) {
    ShowText(kHelp);
    const Image top = test::CaptureWindow(control_.Hwnd());
    test::SaveWindowCapture(control_.Hwnd(), "markdown-top");
    Scroll(SB_BOTTOM);
    Repaint();
    const Image bottom = test::CaptureWindow(control_.Hwnd());
    test::SaveWindowCapture(control_.Hwnd(), "markdown-bottom");
    ASSERT_EQ(top.pixels.size(), bottom.pixels.size());
    EXPECT_NE(top.pixels, bottom.pixels);
    // The heading opens the top view; the last line of text closes the bottom one.
    const FormattedLine& first = control_.Lines().front();
    const FormattedLine& last = control_.Lines().back();
    const RECT headingBand{0, 0, WrapWidthPx(), first.height};
    const RECT lastLineBand{0, kFrameHeightPx - last.height, WrapWidthPx(), kFrameHeightPx};
    EXPECT_GT(CountPixels(top, RGB(0, 0, 0), headingBand), 50);
    EXPECT_GT(CountPixels(bottom, RGB(0, 0, 0), lastLineBand), 50);
}

TEST_F(MarkdownTextCtrlTest, CodeIsDrawnInItsOwnColourAndOtherTextInTheTextColour) {
    ShowText(L"```\r\n    int code = 1;\r\n```\r\nplain words here");
    Repaint();
    const Image image = test::CaptureWindow(control_.Hwnd());
    test::SaveWindowCapture(control_.Hwnd(), "markdown-code");
    const auto& lines = control_.Lines();
    ASSERT_EQ(lines.size(), 2u);
    const RECT codeBand{0, 0, WrapWidthPx(), lines[0].height};
    const RECT textBand{0, lines[0].height, WrapWidthPx(), lines[0].height + lines[1].height};
    EXPECT_GT(CountPixels(image, CMarkdownTextCtrl::kCodeTextColor, codeBand), 20);
    EXPECT_EQ(CountPixels(image, CMarkdownTextCtrl::kCodeTextColor, textBand), 0);
    EXPECT_GT(CountPixels(image, RGB(0, 0, 0), textBand), 20);
    EXPECT_EQ(CountPixels(image, RGB(0, 0, 0), codeBand), 0);
    // The indentation of the code line is kept: nothing is drawn in its first four spaces.
    const RECT indent{0, 0, 4 + lines[0].segmentWidthsPx[0] * 4, lines[0].height};
    EXPECT_EQ(CountPixels(image, CMarkdownTextCtrl::kCodeTextColor, indent), 0);
}

TEST_F(MarkdownTextCtrlTest, EmptyTextPaintsOnlyTheBackground) {
    ShowText(L"");
    Repaint();
    EXPECT_TRUE(control_.Lines().empty());
    EXPECT_FALSE(IsWindowVisible(control_.ScrollBar()));
    const Image image = test::CaptureWindow(control_.Hwnd());
    const RECT all{0, 0, image.width, image.height};
    EXPECT_EQ(CountPixels(image, GetSysColor(COLOR_BTNFACE), all), image.width * image.height);
}

TEST_F(MarkdownTextCtrlTest, NarrowerViewWrapsAgainAtTheNextPaint) {
    ShowText(kParagraph);
    const std::size_t wideLines = control_.Lines().size();
    SetWindowPos(control_.Hwnd(), nullptr, 0, 0, kFrameWidthPx / 2, kFrameHeightPx,
                 SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(control_.Lines().size(), wideLines);  // nothing happens before the paint
    Repaint();
    EXPECT_GT(control_.Lines().size(), wideLines);
    RECT barRect{};
    GetWindowRect(control_.ScrollBar(), &barRect);
    MapWindowPoints(nullptr, control_.Hwnd(), reinterpret_cast<POINT*>(&barRect), 2);
    EXPECT_EQ(barRect.right, kFrameWidthPx / 2);
    test::SaveWindowCapture(control_.Hwnd(), "markdown-narrow");
}

TEST_F(MarkdownTextCtrlTest, SetTextLaysOutAndPaintsBeforeItReturns) {
    control_.SetText(kParagraph);
    EXPECT_FALSE(control_.Lines().empty());
    control_.SetText(L"");
    EXPECT_TRUE(control_.Lines().empty());
}

TEST_F(MarkdownTextCtrlTest, ResizeKeepsTheScrollPositionUntilTheNextRequest) {
    ShowText(kHelp);
    Scroll(SB_BOTTOM);
    const int bottomBefore = control_.ScrollPos();
    SetWindowPos(control_.Hwnd(), nullptr, 0, 0, kFrameWidthPx, kFrameHeightPx + 60,
                 SWP_NOMOVE | SWP_NOZORDER);
    Repaint();
    ASSERT_GT(control_.ContentHeight(), kFrameHeightPx + 60);
    EXPECT_EQ(control_.ScrollPos(), bottomBefore);  // now beyond the end
    Scroll(SB_ENDSCROLL);
    EXPECT_EQ(control_.ScrollPos(), control_.ContentHeight() - (kFrameHeightPx + 60));

    SetWindowPos(control_.Hwnd(), nullptr, 0, 0, kFrameWidthPx, 2000, SWP_NOMOVE | SWP_NOZORDER);
    Repaint();
    EXPECT_FALSE(IsWindowVisible(control_.ScrollBar()));
    EXPECT_EQ(control_.ScrollPos(), 0);
}

TEST_F(MarkdownTextCtrlTest, DpiChangeRecreatesFontsAndLaysOutAgain) {
    ShowText(kHelp);
    HFONT before = control_.Font(MarkdownFont::Normal);
    EXPECT_EQ(SendMessageW(control_.Hwnd(), WM_DPICHANGED_AFTERPARENT, 0, 0), 0);
    EXPECT_NE(control_.Font(MarkdownFont::Normal), before);
    Repaint();
    EXPECT_FALSE(control_.Lines().empty());
    EXPECT_GT(control_.LineHeight(), 0);
}

}  // namespace
}  // namespace orvello
