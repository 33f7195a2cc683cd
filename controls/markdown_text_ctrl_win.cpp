#include "controls/markdown_text_ctrl_win.h"

#include "ui/dpi.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

constexpr LONG_PTR kStaticTypeBits = SS_TYPEMASK;

int ClientHeight(const RECT& client) {
    return client.bottom - client.top;
}

}  // namespace

CMarkdownTextCtrl::CMarkdownTextCtrl() {
    RecreateFonts();
}

void CMarkdownTextCtrl::SetText(std::wstring_view markdown) {
    text_ = markdown;
    scrollPos_ = 0;
    layoutDirty_ = true;
    InvalidateView(true);
    if (IsWindow()) UpdateWindow();
}

void CMarkdownTextCtrl::SetColors(COLORREF textColor, COLORREF backgroundColor) {
    textColor_ = textColor;
    backgroundColor_ = backgroundColor;
    InvalidateView();
}

void CMarkdownTextCtrl::SetBaseFontSize(int pixels) {
    baseFontSize_ = pixels;
    RecreateFonts();
    MeasureLineHeight();
    layoutDirty_ = true;
    InvalidateView();
}

// The static control's own drawing types are dropped: this control paints everything itself.
void CMarkdownTextCtrl::OnAttach() {
    SetStyle((GetStyle() & ~kStaticTypeBits) | SS_NOTIFY);
    RecreateFonts();
    CreateScrollBar();
}

bool CMarkdownTextCtrl::OnEraseBkgnd(HDC) {
    return true;
}

void CMarkdownTextCtrl::OnVScroll(UINT code, int position, HWND) {
    const int newPos =
        ScrollPosAfterRequest(scrollPos_, static_cast<int>(code), position, Extent());
    if (newPos != scrollPos_) MoveTo(newPos);
    Default();
}

// Unhandled (content that fits) goes on to default processing, which hands it to the parent.
bool CMarkdownTextCtrl::OnMouseWheel(UINT, short delta, POINT) {
    const std::optional<int> newPos = ScrollPosAfterWheel(scrollPos_, delta, Extent());
    if (!newPos) return false;
    MoveTo(*newPos);
    return true;
}

void CMarkdownTextCtrl::OnSize(UINT, int, int) {
    Default();
    clientRect_ = GetClientRect();
    PlaceScrollBar();
    layoutDirty_ = true;
    InvalidateView();
}

LRESULT CMarkdownTextCtrl::OnDpiChangedAfterParent() {
    RecreateFonts();
    MeasureLineHeight();
    layoutDirty_ = true;
    InvalidateView();
    return 0;
}

// Before the control is attached there is no window to invalidate (a null window would
// invalidate the whole desktop).
void CMarkdownTextCtrl::InvalidateView(bool erase) const {
    if (IsWindow()) Invalidate(erase);
}

void CMarkdownTextCtrl::RecreateFonts() {
    fonts_.Recreate(baseFontSize_, ui::DpiForWindow(Hwnd()));
}

void CMarkdownTextCtrl::MeasureLineHeight() {
    ui::WindowDc dc(Hwnd());
    if (dc.Get()) lineHeight_ = FontLineHeightPx(dc.Get(), fonts_.Get(MarkdownFont::Normal));
}

void CMarkdownTextCtrl::CreateScrollBar() {
    clientRect_ = GetClientRect();
    const int widthPx = GetSystemMetrics(SM_CXVSCROLL);
    const RECT bounds{clientRect_.right - widthPx, 0, clientRect_.right, ClientHeight(clientRect_)};
    (void)scrollBar_.Create(L"SCROLLBAR", L"", WS_CHILD | WS_VISIBLE | SBS_VERT | SBS_RIGHTALIGN,
                            bounds, Hwnd(), kScrollBarId);
}

void CMarkdownTextCtrl::PlaceScrollBar() {
    if (!scrollBar_.IsWindow()) return;
    const int widthPx = GetSystemMetrics(SM_CXVSCROLL);
    MoveWindow(scrollBar_.Hwnd(), clientRect_.right - widthPx, 0, widthPx,
               ClientHeight(clientRect_), TRUE);
}

ScrollExtent CMarkdownTextCtrl::Extent() const {
    return ScrollExtent{.contentHeightPx = contentHeight_,
                        .clientHeightPx = ClientHeight(GetClientRect()),
                        .lineHeightPx = lineHeight_};
}

void CMarkdownTextCtrl::MoveTo(int scrollPos) {
    scrollPos_ = scrollPos;
    if (scrollBar_.IsWindow()) SetScrollPos(scrollBar_.Hwnd(), SB_CTL, scrollPos_, TRUE);
    InvalidateView();
}

void CMarkdownTextCtrl::RunLayout(HDC dc) {
    GdiTextMeasurer measurer(dc, fonts_);
    const MarkdownLayoutArea area{.clientWidthPx = clientRect_.right - clientRect_.left,
                                  .scrollBarWidthPx = GetSystemMetrics(SM_CXVSCROLL),
                                  .lineHeightPx = lineHeight_};
    MarkdownLayout layout = LayoutMarkdown(AsUtf16(text_), area, measurer);
    lines_ = std::move(layout.lines);
    contentHeight_ = layout.contentHeight;
    layoutDirty_ = false;
}

void CMarkdownTextCtrl::UpdateScrollBar() {
    if (!IsWindow() || !scrollBar_.IsWindow()) return;
    const int clientHeight = ClientHeight(clientRect_);
    if (contentHeight_ <= clientHeight) {
        ::ShowWindow(scrollBar_.Hwnd(), SW_HIDE);
        scrollPos_ = 0;
        return;
    }
    ::ShowWindow(scrollBar_.Hwnd(), SW_SHOW);
    SCROLLINFO info{.cbSize = sizeof(SCROLLINFO),
                    .fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                    .nMin = 0,
                    .nMax = contentHeight_,
                    .nPage = static_cast<UINT>(clientHeight),
                    .nPos = scrollPos_,
                    .nTrackPos = 0};
    SetScrollInfo(scrollBar_.Hwnd(), SB_CTL, &info, TRUE);
}

void CMarkdownTextCtrl::OnPaint() {
    ui::PaintDc paint(Hwnd());
    clientRect_ = GetClientRect();
    ui::OffscreenDc offscreen(paint.Get(), clientRect_);
    if (!offscreen.IsValid()) return;
    PaintContent(offscreen.Get());
    offscreen.Present();
}

void CMarkdownTextCtrl::PaintContent(HDC dc) {
    SetTextColor(dc, textColor_);
    SetBkMode(dc, TRANSPARENT);
    const ui::UniqueBrush background(CreateSolidBrush(backgroundColor_));
    FillRect(dc, &clientRect_, background.Get());
    if (lineHeight_ == 0) lineHeight_ = FontLineHeightPx(dc, fonts_.Get(MarkdownFont::Normal));
    if (layoutDirty_) {
        RunLayout(dc);
        UpdateScrollBar();
    }
    // Only lines that reach into the view are drawn; the first line below it ends the loop.
    const int clientHeight = ClientHeight(clientRect_);
    int y = -scrollPos_;
    for (const FormattedLine& line : lines_) {
        if (y + line.height > 0 && y < clientHeight) DrawLine(dc, line, y);
        y += line.height;
        if (y > clientHeight) break;
    }
}

void CMarkdownTextCtrl::DrawLine(HDC dc, const FormattedLine& line, int y) const {
    int x = MarkdownLineStartX(line.indentLevel);
    for (std::size_t i = 0; i < line.segments.size(); ++i) {
        const TextSegment& segment = line.segments[i];
        ui::SelectionScope font(dc, fonts_.Get(FontForSegment(segment)));
        const COLORREF previousColor =
            segment.code ? SetTextColor(dc, kCodeTextColor) : CLR_INVALID;
        const std::wstring_view text = AsWide(segment.text);
        TextOutW(dc, x, y, text.data(), static_cast<int>(text.size()));
        if (segment.code) SetTextColor(dc, previousColor);
        x += line.segmentWidthsPx[i];
    }
}

}  // namespace orvello
