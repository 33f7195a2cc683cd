#include "controls/overlay_window_win.h"

#include <dwmapi.h>

#include <utility>

#include "controls/overlay_geometry.h"
#include "controls/overlay_paint_win.h"
#include "ui/application.h"
#include "ui/win32_handles.h"

namespace orvello {
namespace {

// DWM attribute numbers, spelled out because older SDK headers lack the names.
constexpr DWORD kDwmUseImmersiveDarkMode = 20;
constexpr DWORD kDwmWindowCornerPreference = 33;
constexpr DWORD kDwmCornerRound = 2;
constexpr int kEffectiveDpiKind = 0;  // MDT_EFFECTIVE_DPI

using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

HMONITOR PrimaryMonitor() {
    return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

// GetDpiForMonitor lives in shcore.dll, which the overlay uses only when something else in the
// process has loaded it already.
GetDpiForMonitorFunction LoadedGetDpiForMonitor() {
    HMODULE shcore = GetModuleHandleW(L"shcore.dll");
    if (!shcore) return nullptr;
    return reinterpret_cast<GetDpiForMonitorFunction>(
        reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")));
}

PixelRect PrimaryMonitorRect() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(PrimaryMonitor(), &info)) return PixelRect{};
    return PixelRect{info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                     info.rcMonitor.bottom};
}

[[nodiscard]] bool RegisterOverlayClass(HINSTANCE instance) {
    WNDCLASSW existing{};
    if (GetClassInfoW(instance, COverlayWindow::kClassName, &existing)) return true;
    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DefWindowProcW;  // the object is bound right after creation
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = COverlayWindow::kClassName;
    return RegisterClassW(&windowClass) != 0;
}

}  // namespace

bool COverlayWindow::Create() {
    if (IsWindow()) return true;
    RefreshDpi();
    if (!RegisterOverlayClass(ui::ResourceInstance())) return false;
    const RECT bounds{0, 0, OverlayWidthPx(dpi_), OverlayHeightPx(dpi_)};
    constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_NOACTIVATE;
    if (!CreateEx(kExStyle, kClassName, kTitle, WS_POPUP, bounds, nullptr)) return false;
    ApplyAppearance();
    SetRoundedRegion();
    Reposition();
    ShowWindow(SW_HIDE);
    return true;
}

void COverlayWindow::RefreshDpi() {
    UINT dpiX = kDefaultDpi;
    UINT dpiY = kDefaultDpi;
    if (const auto getDpiForMonitor = LoadedGetDpiForMonitor()) {
        if (FAILED(getDpiForMonitor(PrimaryMonitor(), kEffectiveDpiKind, &dpiX, &dpiY))) {
            dpiY = kDefaultDpi;
        }
    }
    dpi_ = static_cast<int>(dpiY);
}

// Results are ignored: systems without these attributes show square, light-framed corners.
void COverlayWindow::ApplyAppearance() const {
    SetLayeredWindowAttributes(Hwnd(), 0, kAlpha, LWA_ALPHA);
    const BOOL darkMode = TRUE;
    (void)DwmSetWindowAttribute(Hwnd(), kDwmUseImmersiveDarkMode, &darkMode, sizeof darkMode);
    const DWORD corners = kDwmCornerRound;
    (void)DwmSetWindowAttribute(Hwnd(), kDwmWindowCornerPreference, &corners, sizeof corners);
}

// Set again whenever the window's size changes.
void COverlayWindow::SetRoundedRegion() const {
    const RECT client = GetClientRect();
    const PixelRect bounds =
        OverlayRegionRect({client.left, client.top, client.right, client.bottom});
    const int cornerPx = OverlayCornerEllipsePx(dpi_);
    ui::UniqueRegion region(CreateRoundRectRgn(bounds.left, bounds.top, bounds.right, bounds.bottom,
                                               cornerPx, cornerPx));
    if (region && SetWindowRgn(Hwnd(), region.Get(), TRUE))
        (void)region.Release();  // now the window's
}

void COverlayWindow::Reposition() {
    if (!IsWindow()) return;
    RefreshDpi();
    const PixelRect placed =
        OverlayWindowRect(PrimaryMonitorRect(), dpi_, !status_.LiveText().empty());
    const RECT before = GetClientRect();
    SetWindowPos(Hwnd(), HWND_TOPMOST, placed.left, placed.top, placed.Width(), placed.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
    if (before.right - before.left != placed.Width() ||
        before.bottom - before.top != placed.Height())
        SetRoundedRegion();
}

void COverlayWindow::Hide() {
    status_.Hide();
    if (IsWindow()) ShowWindow(SW_HIDE);
}

void COverlayWindow::ShowStarting() {
    status_.ShowStarting();
    ShowAndPaintNow();
}

void COverlayWindow::ShowListening() {
    status_.ShowListening();
    if (IsWindow()) SetWindowTextW(Hwnd(), kTitle);
    ShowAndPaintNow();
}

void COverlayWindow::ShowHandsFree(std::u16string text) {
    status_.ShowHandsFree(std::move(text));
    ShowAndPaintNow();
}

// Painted at once: after ShowStarting the caller blocks this thread while the engine loads.
void COverlayWindow::ShowAndPaintNow() {
    if (!IsWindow()) return;
    Reposition();
    ShowWindow(SW_SHOWNOACTIVATE);
    RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// The window's title carries the text too, for screen readers and tests.
void COverlayWindow::ShowLiveText(std::u16string text) {
    if (!status_.ShowLiveText(std::move(text))) return;
    if (!IsWindow()) return;
    const std::u16string& shown = status_.LiveText();
    SetWindowTextW(Hwnd(),
                   shown.empty() ? kTitle : reinterpret_cast<const wchar_t*>(shown.c_str()));
    ShowAndPaintNow();
}

void COverlayWindow::PushLevel(WPARAM rawLevel) {
    if (!status_.PushLevel(rawLevel)) return;
    if (IsWindow() && IsWindowVisible(Hwnd())) Invalidate(false);
}

bool COverlayWindow::OnEraseBkgnd(HDC) {
    return true;
}

void COverlayWindow::OnPaint() {
    ui::PaintDc paint(Hwnd());
    const RECT client = GetClientRect();
    ui::OffscreenDc offscreen(paint.Get(), client);
    if (!offscreen.IsValid()) return;
    PaintOverlay(offscreen.Get(), {client.left, client.top, client.right, client.bottom}, dpi_,
                 status_);
    offscreen.Present();
}

}  // namespace orvello
