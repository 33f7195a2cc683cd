#pragma once
// CWnd: a C++ object bound to one HWND. Every message of the bound window goes
// to the virtual WindowProc, which decodes the messages our windows use into
// typed handlers (OnPaint, OnSize, ...); a handler that wants the system's
// behaviour calls Default(). A window is bound in one of three ways:
//   - Create()/CreateEx() of a class registered with CWnd::WindowProcedure: the
//     object arrives in lpCreateParams and is bound on WM_NCCREATE;
//   - Create()/CreateEx() of any other class (system controls, classes whose
//     procedure is DefWindowProcW): adopted right after CreateWindowExW;
//   - SubclassWindow()/SubclassDlgItem(): an existing window, for example a
//     control from a dialog template, adopted with SetWindowSubclass.
// Owner-drawn controls draw themselves: a parent that receives WM_DRAWITEM,
// WM_MEASUREITEM or WM_DELETEITEM for a bound control hands it to the
// control's DrawItem / MeasureItem / DeleteItem. (A control adopted from a
// template misses the WM_MEASUREITEM sent while the template is built, which
// matters only for LBS_OWNERDRAWFIXED; variable-height lists measure per item.)
// No exception leaves a window procedure: it is caught there, reported through
// ReportCurrentException (ui/application.h) and the message returns 0.
// The binding ends at WM_NCDESTROY or when the object is destroyed, whichever
// comes first; a window this object created is destroyed with it (without
// reaching the derived class's handlers any more), an adopted one is only
// released.
#include <windows.h>

#include <string>

namespace orvello::ui {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // The object bound to `window`, or null.
    [[nodiscard]] static CWnd* FromHandle(HWND window);

    // The window procedure to register window classes with (lpfnWndProc).
    static LRESULT CALLBACK WindowProcedure(HWND, UINT, WPARAM, LPARAM);

    // Creates a window of `className` and binds it; false if creation failed or the
    // object already has a window. `id` is the control id of a child window.
    [[nodiscard]] bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title,
                                DWORD style, const RECT& rect, HWND parent, UINT id = 0);
    [[nodiscard]] bool Create(const wchar_t* className, const wchar_t* title, DWORD style,
                              const RECT& rect, HWND parent, UINT id = 0) {
        return CreateEx(0, className, title, style, rect, parent, id);
    }

    // Adopts an existing window; false if this object or that window is already bound.
    // Calls OnAttach() once the window is bound.
    [[nodiscard]] bool SubclassWindow(HWND window);
    // Adopts the child of `parent` with control id `id` (a control from a dialog template).
    [[nodiscard]] bool SubclassDlgItem(int id, HWND parent);
    // Releases an adopted window (restoring its own procedure) without destroying it.
    HWND UnsubclassWindow();

    [[nodiscard]] HWND GetSafeHwnd() const { return hwnd_; }
    [[nodiscard]] HWND Hwnd() const { return hwnd_; }
    [[nodiscard]] bool IsWindow() const { return hwnd_ != nullptr; }
    // Destroys the window if it exists (an adopted one too).
    void DestroyWindow();

    // Thin conveniences over the bound window.
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    [[nodiscard]] HWND GetDlgItem(int id) const { return ::GetDlgItem(hwnd_, id); }
    [[nodiscard]] int GetDlgCtrlID() const { return ::GetDlgCtrlID(hwnd_); }
    [[nodiscard]] HWND GetParent() const { return ::GetParent(hwnd_); }
    [[nodiscard]] std::wstring Text() const;
    void SetText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
    [[nodiscard]] RECT GetClientRect() const;
    [[nodiscard]] LONG_PTR GetStyle() const { return GetWindowLongPtrW(hwnd_, GWL_STYLE); }
    void SetStyle(LONG_PTR style) const { SetWindowLongPtrW(hwnd_, GWL_STYLE, style); }
    void ShowWindow(int command) const { ::ShowWindow(hwnd_, command); }
    void EnableWindow(bool enable) const { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }
    // Invalidates the whole client area; `erase` asks for WM_ERASEBKGND first.
    void Invalidate(bool erase = true) const;
    void UpdateWindow() const { ::UpdateWindow(hwnd_); }
    [[nodiscard]] HFONT GetFont() const { return HFONT(Send(WM_GETFONT)); }

    // Owner-draw entry points, called with the notifications the parent receives.
    virtual void DrawItem(const DRAWITEMSTRUCT&) {}
    virtual void MeasureItem(MEASUREITEMSTRUCT&) {}
    virtual void DeleteItem(const DELETEITEMSTRUCT&) {}

protected:
    // Every message of the bound window. The default decodes the messages below into
    // the typed handlers and gives every other message to Default(). Override to handle
    // further messages and call CWnd::WindowProc for the rest.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // The system's processing of the message now being handled (the window class's own
    // procedure, the subclassed control's procedure, or the dialog manager's).
    LRESULT Default();

    // Runs once a window is bound by SubclassWindow (the "attach hook").
    virtual void OnAttach() {}

    // Typed handlers. The defaults are the system's processing (Default()); a handler
    // returning `bool handled` gets Default() from the layer when it returns false.
    virtual bool OnCreate(const CREATESTRUCTW& create);  // false fails the creation
    virtual void OnDestroy();
    virtual void OnPaint();
    virtual bool OnEraseBkgnd(HDC dc);  // the message result: true when the background is done
    virtual void OnSize(UINT type, int width, int height);
    virtual bool OnMouseWheel(UINT keys, short delta, POINT screenPoint);  // handled
    virtual void OnVScroll(UINT code, int position, HWND scrollBar);
    virtual void OnHScroll(UINT code, int position, HWND scrollBar);
    virtual void OnTimer(UINT_PTR timerId);
    virtual LRESULT OnDpiChangedAfterParent();
    // WM_COMMAND (handled). `control` is null for menus and accelerators.
    virtual bool OnCommand(UINT id, UINT code, HWND control);

private:
    enum class Binding { None, OwnClass, Subclass };
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    static LRESULT CALLBACK SubclassProcedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DispatchGuarded(UINT message, WPARAM wParam, LPARAM lParam);
    bool ReflectOwnerDraw(UINT message, LPARAM lParam, LRESULT& result);
    bool Bind(HWND window, Binding binding);
    void Unbind();

    HWND hwnd_ = nullptr;
    Binding binding_ = Binding::None;
    bool ownsWindow_ = false;
    CurrentMessage current_{};

    friend class CDialog;
};

}  // namespace orvello::ui
