// Section headers on the virtual display, attached to the statics of a
// template: the three bar colours chosen by the template's alignment, bold
// white text centred in all of them, and nothing at all from a hidden header.
#include "controls/head_static.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/controls/control_pixels.h"
#include "tests/controls/controls_test_resources.h"
#include "ui/dialog.h"

namespace orvello {
namespace {

using test::CaptureClient;
using test::ClientCapture;
using test::PixelOf;

class HeaderHost : public ui::CDialogEx {
public:
    HeaderHost() : CDialogEx(IDD_HEADER_TEST) {}
    CHeadStatic trigger, options, right, hidden;

protected:
    void BindControls() override {
        ASSERT_TRUE(trigger.SubclassDlgItem(IDC_HEADER_TRIGGER, Hwnd()));
        ASSERT_TRUE(options.SubclassDlgItem(IDC_HEADER_OPTIONS, Hwnd()));
        ASSERT_TRUE(right.SubclassDlgItem(IDC_HEADER_RIGHT, Hwnd()));
        ASSERT_TRUE(hidden.SubclassDlgItem(IDC_HEADER_HIDDEN, Hwnd()));
    }
};

class HeadStaticTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(host_.Create());
        test::ShowHost(host_.Hwnd());
        EXPECT_FALSE(test::SaveWindowCapture(host_.Hwnd(), "section_headers").empty());
    }
    HeaderHost host_;
};

// The bar fills the control and the white text sits in its middle.
void ExpectHeader(const CHeadStatic& header, RgbColour bar) {
    const ClientCapture capture = CaptureClient(header.Hwnd());
    const RECT client = header.GetClientRect();
    const PixelRect all{0, 0, client.right, client.bottom};
    const std::wstring wide = header.Text();
    const std::string text(wide.begin(), wide.end());  // ASCII captions, for messages
    EXPECT_EQ(capture.At(0, 0), PixelOf(bar)) << text;
    EXPECT_EQ(capture.At(client.right - 1, client.bottom - 1), PixelOf(bar)) << text;

    const PixelRect white = capture.InkBounds(all, PixelOf(bar));
    ASSERT_LT(white.left, white.right) << text << ": no text";
    EXPECT_NEAR((white.left + white.right) / 2.0, client.right / 2.0, 3.0) << text;
    EXPECT_NEAR((white.top + white.bottom) / 2.0, client.bottom / 2.0, 2.5) << text;
    // Everything that is not text is bar (antialiased edges aside).
    EXPECT_GT(capture.Count(all, PixelOf(bar)) + capture.Count(all, PixelOf(kHeaderTextColour)),
              all.Width() * all.Height() * 9 / 10)
        << text;
}

TEST_F(HeadStaticTest, TheTemplatesAlignmentPicksTheBarColourAndTheTextIsAlwaysCentred) {
    EXPECT_EQ(host_.trigger.AlignmentVariant(), kHeaderVariantCentred);
    EXPECT_EQ(host_.options.AlignmentVariant(), kHeaderVariantDefault);
    EXPECT_EQ(host_.right.AlignmentVariant(), kHeaderVariantRight);
    ExpectHeader(host_.trigger, RgbColour{192, 128, 128});
    ExpectHeader(host_.options, RgbColour{86, 152, 233});
    ExpectHeader(host_.right, RgbColour{128, 128, 192});
}

TEST_F(HeadStaticTest, AttachingSwitchesTheStaticToOwnerDraw) {
    for (const CHeadStatic* header : {&host_.trigger, &host_.options, &host_.right})
        EXPECT_EQ(header->GetStyle() & SS_TYPEMASK, SS_OWNERDRAW);
}

TEST_F(HeadStaticTest, ANewTextIsDrawnOnTheSameBar) {
    host_.options.SetText(L"Other Options");
    host_.options.Invalidate();
    test::PumpMessages(60);
    ExpectHeader(host_.options, RgbColour{86, 152, 233});
}

TEST_F(HeadStaticTest, AHiddenHeaderPaintsNothing) {
    EXPECT_FALSE(IsWindowVisible(host_.hidden.Hwnd()));
    RECT area{};
    GetWindowRect(host_.hidden.Hwnd(), &area);
    MapWindowPoints(nullptr, host_.Hwnd(), reinterpret_cast<POINT*>(&area), 2);
    const ClientCapture dialog = CaptureClient(host_.Hwnd());
    const PixelRect where{area.left, area.top, area.right, area.bottom};
    EXPECT_EQ(dialog.Count(where, PixelOf(GetSysColor(COLOR_BTNFACE))),
              where.Width() * where.Height());
}

}  // namespace
}  // namespace orvello
