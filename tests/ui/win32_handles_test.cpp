// The RAII owners of Win32 handles and GDI objects: each frees exactly once,
// moves hand ownership over, selections are undone, and the off-screen
// surface lands where it belongs.
#include "ui/win32_handles.h"

#include <gtest/gtest.h>

#include <utility>

namespace orvello::ui {
namespace {

bool HandleIsOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != FALSE;
}

TEST(UniqueHandle, ClosesOnceAndMovesOwnership) {
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(raw);
    {
        UniqueHandle first(raw);
        UniqueHandle second(std::move(first));
        EXPECT_FALSE(first.IsValid());
        EXPECT_EQ(second.Get(), raw);
        UniqueHandle third;
        third = std::move(second);
        EXPECT_TRUE(HandleIsOpen(raw));
    }
    EXPECT_FALSE(HandleIsOpen(raw));
}

TEST(UniqueHandle, TreatsInvalidHandleValueAsNothingOwned) {
    UniqueHandle file(
        CreateFileW(L"Z:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file.IsValid());
    EXPECT_EQ(file.Get(), nullptr);
}

TEST(UniqueResource, ReleaseGivesUpOwnershipWithoutFreeing) {
    HANDLE raw = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    UniqueHandle owner(raw);
    EXPECT_EQ(owner.Release(), raw);
    EXPECT_FALSE(owner.IsValid());
    EXPECT_TRUE(HandleIsOpen(raw));
    CloseHandle(raw);
}

TEST(GdiObjects, AreDeletedWhenTheirOwnerGoes) {
    HPEN raw = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
    { UniquePen pen(raw); }
    EXPECT_EQ(GetObjectType(raw), 0u);  // no longer a GDI object
}

TEST(SelectionScope, PutsThePreviousObjectBack) {
    UniqueDc dc(CreateCompatibleDC(nullptr));
    UniquePen pen(CreatePen(PS_SOLID, 1, RGB(10, 20, 30)));
    const HGDIOBJ original = GetCurrentObject(dc.Get(), OBJ_PEN);
    {
        SelectionScope selection(dc.Get(), pen.Get());
        EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), pen.Get());
    }
    EXPECT_EQ(GetCurrentObject(dc.Get(), OBJ_PEN), original);
}

TEST(OffscreenDc, PresentsItsAreaAtTheTargetsCoordinates) {
    WindowDc screen(nullptr);
    UniqueDc target(CreateCompatibleDC(screen.Get()));
    UniqueBitmap targetBitmap(CreateCompatibleBitmap(screen.Get(), 100, 100));
    SelectionScope targetSelection(target.Get(), targetBitmap.Get());
    RECT all{0, 0, 100, 100};
    FillRect(target.Get(), &all, HBRUSH(GetStockObject(WHITE_BRUSH)));

    const RECT area{20, 30, 60, 50};
    OffscreenDc offscreen(target.Get(), area);
    ASSERT_TRUE(offscreen.IsValid());
    EXPECT_EQ(offscreen.Width(), 40);
    EXPECT_EQ(offscreen.Height(), 20);
    UniqueBrush red(CreateSolidBrush(RGB(255, 0, 0)));
    FillRect(offscreen.Get(), &area, red.Get());                    // the target's coordinates
    EXPECT_EQ(GetPixel(target.Get(), 25, 35), RGB(255, 255, 255));  // nothing before Present
    offscreen.Present();

    EXPECT_EQ(GetPixel(target.Get(), 20, 30), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.Get(), 59, 49), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(target.Get(), 19, 30), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(target.Get(), 60, 49), RGB(255, 255, 255));
}

TEST(UniqueWindow, DestroysTheWindow) {
    HWND raw = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(raw);
    { UniqueWindow window(raw); }
    EXPECT_FALSE(IsWindow(raw));
}

}  // namespace
}  // namespace orvello::ui
