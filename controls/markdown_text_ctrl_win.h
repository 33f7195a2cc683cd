#pragma once
// CMarkdownTextCtrl: a read-only, scrollable view of a small Markdown subset, adopted from a
// static control of a dialog template. Layout is lazy: text, size, DPI and font-size changes
// only mark it dirty, and the next paint wraps the text again. User-interface thread only.
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "controls/markdown_gdi_win.h"
#include "controls/markdown_layout.h"
#include "controls/markdown_scroll.h"
#include "ui/controls.h"

namespace orvello {

class CMarkdownTextCtrl : public ui::CStatic {
public:
    static constexpr UINT kScrollBarId = 1;
    static constexpr COLORREF kCodeTextColor = RGB(100, 200, 255);

    CMarkdownTextCtrl();

    // Shows new text from the top, repainting at once.
    void SetText(std::wstring_view markdown);
    void SetColors(COLORREF textColor, COLORREF backgroundColor);
    void SetBaseFontSize(int pixels);

    // The state of the view, for its owner and its tests.
    [[nodiscard]] int ScrollPos() const { return scrollPos_; }
    [[nodiscard]] int ContentHeight() const { return contentHeight_; }
    [[nodiscard]] int LineHeight() const { return lineHeight_; }
    [[nodiscard]] const std::vector<FormattedLine>& Lines() const { return lines_; }
    [[nodiscard]] HWND ScrollBar() const { return scrollBar_.Hwnd(); }
    [[nodiscard]] HFONT Font(MarkdownFont font) const { return fonts_.Get(font); }

protected:
    void OnAttach() override;
    void OnPaint() override;
    bool OnEraseBkgnd(HDC dc) override;
    void OnVScroll(UINT code, int position, HWND scrollBar) override;
    bool OnMouseWheel(UINT keys, short delta, POINT screenPoint) override;
    void OnSize(UINT type, int width, int height) override;
    LRESULT OnDpiChangedAfterParent() override;

private:
    void InvalidateView(bool erase = true) const;
    void RecreateFonts();
    void MeasureLineHeight();
    void CreateScrollBar();
    void PlaceScrollBar();
    void RunLayout(HDC dc);
    void UpdateScrollBar();
    void MoveTo(int scrollPos);
    void PaintContent(HDC dc);
    void DrawLine(HDC dc, const FormattedLine& line, int y) const;
    [[nodiscard]] ScrollExtent Extent() const;

    std::wstring text_;
    COLORREF textColor_ = RGB(255, 255, 255);
    COLORREF backgroundColor_ = RGB(0, 0, 0);
    MarkdownFontSet fonts_;
    int scrollPos_ = 0;
    int contentHeight_ = 0;
    int lineHeight_ = 0;  // normal font; 0 until measured
    RECT clientRect_{};
    std::vector<FormattedLine> lines_;
    bool layoutDirty_ = true;
    int baseFontSize_ = kDefaultMarkdownBaseFontSizePx;
    ui::CWnd scrollBar_;
};

}  // namespace orvello
