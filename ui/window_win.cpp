// Binding of CWnd objects to windows, the one dispatch path every message takes,
// the exception boundary and the reflection of owner-draw notifications.
#include "ui/window.h"

#include <commctrl.h>

#include <cwchar>

#include "ui/application.h"

#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace orvello::ui {
namespace {

// The bound object of every window lives in this window property, whatever the binding.
constexpr wchar_t kObjectProperty[] = L"ui.CWnd";
constexpr UINT_PTR kSubclassId = 0x4357;  // "CW"

// From windowsx.h, which also defines a SubclassWindow macro that clashes with ours.
int XFromLParam(LPARAM lParam) {
    return int(short(LOWORD(lParam)));
}
int YFromLParam(LPARAM lParam) {
    return int(short(HIWORD(lParam)));
}

template <typename T>
T& MessageStruct(LPARAM lParam) {
    return *reinterpret_cast<T*>(lParam);
}

}  // namespace

CWnd::~CWnd() {
    if (!hwnd_) return;
    HWND window = hwnd_;
    const bool destroy = ownsWindow_;
    Unbind();  // no message reaches this half-destroyed object any more
    if (destroy) ::DestroyWindow(window);
}

CWnd* CWnd::FromHandle(HWND window) {
    return window ? static_cast<CWnd*>(GetPropW(window, kObjectProperty)) : nullptr;
}

bool CWnd::Bind(HWND window, Binding binding) {
    if (hwnd_ || !window || FromHandle(window)) return false;
    if (binding == Binding::Subclass &&
        !SetWindowSubclass(window, SubclassProcedure, kSubclassId, DWORD_PTR(this)))
        return false;
    if (!SetPropW(window, kObjectProperty, this)) {
        if (binding == Binding::Subclass)
            RemoveWindowSubclass(window, SubclassProcedure, kSubclassId);
        return false;
    }
    hwnd_ = window;
    binding_ = binding;
    return true;
}

void CWnd::Unbind() {
    if (!hwnd_) return;
    RemovePropW(hwnd_, kObjectProperty);
    if (binding_ == Binding::Subclass) RemoveWindowSubclass(hwnd_, SubclassProcedure, kSubclassId);
    hwnd_ = nullptr;
    binding_ = Binding::None;
    ownsWindow_ = false;
}

LRESULT CALLBACK CWnd::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<CWnd*>(MessageStruct<CREATESTRUCTW>(lParam).lpCreateParams);
        if (self) (void)self->Bind(window, Binding::OwnClass);
    }
    CWnd* self = FromHandle(window);
    if (!self || self->binding_ != Binding::OwnClass)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->DispatchGuarded(message, wParam, lParam);
}

LRESULT CALLBACK CWnd::SubclassProcedure(HWND, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR object) {
    return reinterpret_cast<CWnd*>(object)->DispatchGuarded(message, wParam, lParam);
}

// The exception boundary: nothing thrown by a handler unwinds into the system.
LRESULT CWnd::DispatchGuarded(UINT message, WPARAM wParam, LPARAM lParam) {
    const CurrentMessage outer = current_;  // handlers may send messages to their own window
    current_ = {message, wParam, lParam};
    LRESULT result = 0;
    try {
        result = WindowProc(message, wParam, lParam);
    } catch (...) {
        wchar_t where[64];
        std::swprintf(where, 64, L"window procedure, message 0x%04X", message);
        ReportCurrentException(where);
        result = 0;
    }
    if (message == WM_NCDESTROY) {
        Unbind();  // the last message: the window is gone when this returns
        return result;
    }
    current_ = outer;
    return result;
}

LRESULT CWnd::Default() {
    switch (binding_) {
        case Binding::OwnClass:
            return DefWindowProcW(hwnd_, current_.message, current_.wParam, current_.lParam);
        case Binding::Subclass:
            return DefSubclassProc(hwnd_, current_.message, current_.wParam, current_.lParam);
        case Binding::None:
            break;
    }
    return 0;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT reflected = 0;
    if (ReflectOwnerDraw(message, lParam, reflected)) return reflected;
    switch (message) {
        case WM_CREATE:
            return OnCreate(MessageStruct<CREATESTRUCTW>(lParam)) ? 0 : -1;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return OnEraseBkgnd(HDC(wParam)) ? TRUE : FALSE;
        case WM_SIZE:
            OnSize(UINT(wParam), LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_MOUSEWHEEL:
            if (OnMouseWheel(GET_KEYSTATE_WPARAM(wParam), GET_WHEEL_DELTA_WPARAM(wParam),
                             POINT{XFromLParam(lParam), YFromLParam(lParam)}))
                return 0;
            return Default();
        case WM_VSCROLL:
            OnVScroll(LOWORD(wParam), int(HIWORD(wParam)), HWND(lParam));
            return 0;
        case WM_HSCROLL:
            OnHScroll(LOWORD(wParam), int(HIWORD(wParam)), HWND(lParam));
            return 0;
        case WM_TIMER:
            OnTimer(UINT_PTR(wParam));
            return 0;
        case WM_DPICHANGED_AFTERPARENT:
            return OnDpiChangedAfterParent();
        case WM_COMMAND:
            if (OnCommand(LOWORD(wParam), HIWORD(wParam), HWND(lParam))) return 0;
            return Default();
        default:
            return Default();
    }
}

// Owner-draw notifications name the control; a bound control draws, measures and
// frees its own items. Menus and unbound controls get the default processing.
bool CWnd::ReflectOwnerDraw(UINT message, LPARAM lParam, LRESULT& result) {
    CWnd* control = nullptr;
    switch (message) {
        case WM_DRAWITEM: {
            auto& draw = MessageStruct<DRAWITEMSTRUCT>(lParam);
            if (draw.CtlType == ODT_MENU || !(control = FromHandle(draw.hwndItem))) return false;
            control->DrawItem(draw);
            break;
        }
        case WM_MEASUREITEM: {
            auto& measure = MessageStruct<MEASUREITEMSTRUCT>(lParam);
            if (measure.CtlType == ODT_MENU) return false;
            if (!(control = FromHandle(::GetDlgItem(hwnd_, int(measure.CtlID))))) return false;
            control->MeasureItem(measure);
            break;
        }
        case WM_DELETEITEM: {
            auto& deletion = MessageStruct<DELETEITEMSTRUCT>(lParam);
            if (!(control = FromHandle(deletion.hwndItem))) return false;
            control->DeleteItem(deletion);
            break;
        }
        default:
            return false;
    }
    result = TRUE;
    return true;
}

bool CWnd::OnCreate(const CREATESTRUCTW&) {
    return Default() != -1;
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
bool CWnd::OnEraseBkgnd(HDC) {
    return Default() != 0;
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
bool CWnd::OnMouseWheel(UINT, short, POINT) {
    return false;
}
void CWnd::OnVScroll(UINT, int, HWND) {
    Default();
}
void CWnd::OnHScroll(UINT, int, HWND) {
    Default();
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
LRESULT CWnd::OnDpiChangedAfterParent() {
    return Default();
}
bool CWnd::OnCommand(UINT, UINT, HWND) {
    return false;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                    const RECT& rect, HWND parent, UINT id) {
    if (hwnd_) return false;
    HWND window = CreateWindowExW(exStyle, className, title, style, rect.left, rect.top,
                                  rect.right - rect.left, rect.bottom - rect.top, parent,
                                  HMENU(UINT_PTR(id)), ResourceInstance(), this);
    if (!window) return false;
    // Classes with a procedure of their own never saw this object: adopt the window now.
    if (FromHandle(window) != this && !Bind(window, Binding::Subclass)) {
        ::DestroyWindow(window);
        return false;
    }
    ownsWindow_ = true;
    return true;
}

bool CWnd::SubclassWindow(HWND window) {
    if (!Bind(window, Binding::Subclass)) return false;
    OnAttach();
    return true;
}

bool CWnd::SubclassDlgItem(int id, HWND parent) {
    return SubclassWindow(::GetDlgItem(parent, id));
}

HWND CWnd::UnsubclassWindow() {
    HWND window = hwnd_;
    Unbind();
    return window;
}

void CWnd::DestroyWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);  // WM_NCDESTROY ends the binding
}

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return SendMessageW(hwnd_, message, wParam, lParam);
}

std::wstring CWnd::Text() const {
    std::wstring text(size_t(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd_, text.data(), int(text.size()))));
    return text;
}

RECT CWnd::GetClientRect() const {
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    return client;
}

void CWnd::Invalidate(bool erase) const {
    InvalidateRect(hwnd_, nullptr, erase ? TRUE : FALSE);
}

}  // namespace orvello::ui
