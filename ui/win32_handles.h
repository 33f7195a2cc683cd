#pragma once
// Move-only owners of Win32 handles and GDI objects, so that no code path has
// to remember a CloseHandle, ReleaseDC, EndPaint, DeleteObject or SelectObject:
//   UniqueHandle     kernel HANDLE                  -> CloseHandle
//   UniqueWindow     HWND this code created         -> DestroyWindow
//   WindowDc         GetDC(window)                  -> ReleaseDC
//   PaintDc          BeginPaint(window)             -> EndPaint
//   UniqueDc         CreateCompatibleDC             -> DeleteDC
//   UniquePen, UniqueBrush, UniqueFont, UniqueBitmap, UniqueRegion -> DeleteObject
//   SelectionScope   SelectObject now               -> the previous object again
//   OffscreenDc      memory DC + bitmap of a size   -> Present() copies it out
#include <windows.h>

#include <utility>

namespace orvello::ui {

// Owns one handle of type T and frees it with Traits::Free(handle).
template <typename T, typename Traits>
class UniqueResource {
public:
    UniqueResource() = default;
    explicit UniqueResource(T handle) : handle_(handle) {}
    ~UniqueResource() { Reset(); }
    UniqueResource(UniqueResource&& other) noexcept : handle_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;

    [[nodiscard]] T Get() const { return handle_; }
    explicit operator bool() const { return IsValid(); }
    [[nodiscard]] bool IsValid() const { return handle_ != Traits::Invalid(); }

    // Gives up ownership without freeing.
    [[nodiscard]] T Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(T handle = Traits::Invalid()) {
        T old = std::exchange(handle_, handle);
        if (old != Traits::Invalid()) Traits::Free(old);
    }

private:
    T handle_ = Traits::Invalid();
};

struct KernelHandleTraits {
    // CreateFile and friends report failure as INVALID_HANDLE_VALUE, the rest as null;
    // both mean "nothing owned" here (the constructor folds the first into the second).
    static HANDLE Invalid() { return nullptr; }
    static void Free(HANDLE h) { CloseHandle(h); }
};
class UniqueHandle : public UniqueResource<HANDLE, KernelHandleTraits> {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE h) : UniqueResource(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};

struct WindowTraits {
    static HWND Invalid() { return nullptr; }
    static void Free(HWND h) { DestroyWindow(h); }
};
using UniqueWindow = UniqueResource<HWND, WindowTraits>;

struct MemoryDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Free(HDC h) { DeleteDC(h); }
};
using UniqueDc = UniqueResource<HDC, MemoryDcTraits>;

template <typename GdiHandle>
struct GdiObjectTraits {
    static GdiHandle Invalid() { return nullptr; }
    static void Free(GdiHandle h) { DeleteObject(h); }
};
using UniquePen = UniqueResource<HPEN, GdiObjectTraits<HPEN>>;
using UniqueBrush = UniqueResource<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueFont = UniqueResource<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBitmap = UniqueResource<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueRegion = UniqueResource<HRGN, GdiObjectTraits<HRGN>>;

// A window's client-area DC from GetDC, released on destruction.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(WindowDc&& other) noexcept
        : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDc& operator=(WindowDc&&) = delete;
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    [[nodiscard]] HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint ... EndPaint for one WM_PAINT. Not movable: PAINTSTRUCT belongs to this frame.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window) { dc_ = BeginPaint(window, &paint_); }
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    [[nodiscard]] HDC Get() const { return dc_; }
    [[nodiscard]] const RECT& DirtyRect() const { return paint_.rcPaint; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_ = nullptr;
};

// Selects a GDI object into a DC and puts the previous one back on destruction.
// The selected object must outlive the scope: declare it before the scope.
class SelectionScope {
public:
    SelectionScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectionScope() {
        if (dc_ && previous_) SelectObject(dc_, previous_);
    }
    SelectionScope(SelectionScope&& other) noexcept
        : dc_(std::exchange(other.dc_, nullptr)), previous_(other.previous_) {}
    SelectionScope& operator=(SelectionScope&&) = delete;
    SelectionScope(const SelectionScope&) = delete;
    SelectionScope& operator=(const SelectionScope&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An off-screen surface for flicker-free painting: a memory DC compatible with `target`
// holding a bitmap of the given size. Draw into Get() with the target's coordinates
// shifted by `origin`, then Present() copies it to the target in one BitBlt.
class OffscreenDc {
public:
    OffscreenDc(HDC target, const RECT& area)
        : target_(target),
          area_(area),
          dc_(CreateCompatibleDC(target)),
          bitmap_(CreateCompatibleBitmap(target, Width(), Height())),
          selection_(dc_.Get(), bitmap_.Get()) {
        SetViewportOrgEx(dc_.Get(), -area.left, -area.top, nullptr);
    }
    OffscreenDc(const OffscreenDc&) = delete;
    OffscreenDc& operator=(const OffscreenDc&) = delete;

    // Draw here in the target's coordinates.
    [[nodiscard]] HDC Get() const { return dc_.Get(); }
    [[nodiscard]] bool IsValid() const { return dc_.IsValid() && bitmap_.IsValid(); }
    [[nodiscard]] int Width() const { return area_.right - area_.left; }
    [[nodiscard]] int Height() const { return area_.bottom - area_.top; }

    // Copies the whole surface to the target's area.
    void Present() const {
        BitBlt(target_, area_.left, area_.top, Width(), Height(), dc_.Get(), area_.left, area_.top,
               SRCCOPY);
    }

private:
    HDC target_;
    RECT area_;
    UniqueDc dc_;
    UniqueBitmap bitmap_;
    SelectionScope selection_;  // declared last: the bitmap is deselected before it is deleted
};

}  // namespace orvello::ui
