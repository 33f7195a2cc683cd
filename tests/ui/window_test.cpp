// CWnd under real Win32: windows of our own class bound on WM_NCCREATE,
// windows of other classes adopted after creation, template controls adopted
// by subclassing, owner-draw notifications handed to the drawing control, and
// exceptions stopped at the window procedure.
#include "ui/window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/window_capture.h"
#include "tests/ui/ui_test_resources.h"
#include "ui/application.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/win32_handles.h"

namespace orvello::ui {
namespace {

constexpr wchar_t kOwnClass[] = L"UiLayerTestWindow";
constexpr wchar_t kForeignClass[] = L"UiLayerTestForeignWindow";
constexpr UINT kThrowMessage = WM_APP + 1;
constexpr UINT kPingMessage = WM_APP + 2;

void RegisterTestClasses() {
    static const bool registered = [] {
        WNDCLASSEXW own{};
        own.cbSize = sizeof own;
        own.lpfnWndProc = CWnd::WindowProcedure;
        own.hInstance = GetModuleHandleW(nullptr);
        own.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        own.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
        own.lpszClassName = kOwnClass;
        WNDCLASSEXW foreign = own;
        foreign.lpfnWndProc = DefWindowProcW;
        foreign.lpszClassName = kForeignClass;
        return RegisterClassExW(&own) && RegisterClassExW(&foreign);
    }();
    ASSERT_TRUE(registered);
}

// Records what reaches the typed handlers.
class Probe : public CWnd {
public:
    bool boundAtCreate = false;
    int creates = 0, paints = 0, attaches = 0, pings = 0;
    SIZE lastSize{};
    short wheelDelta = 0;
    int vScrollPosition = -1, hScrollPosition = -1;
    std::vector<UINT> setTextMessages;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kThrowMessage) throw std::runtime_error("handler failed on purpose");
        if (message == kPingMessage) return ++pings;
        if (message == WM_SETTEXT) setTextMessages.push_back(message);
        return CWnd::WindowProc(message, wParam, lParam);
    }
    bool OnCreate(const CREATESTRUCTW& create) override {
        ++creates;
        boundAtCreate = FromHandle(Hwnd()) == this && create.lpCreateParams == this;
        return CWnd::OnCreate(create);
    }
    void OnPaint() override {
        ++paints;
        CWnd::OnPaint();
    }
    void OnSize(UINT, int width, int height) override { lastSize = {width, height}; }
    bool OnMouseWheel(UINT, short delta, POINT) override {
        wheelDelta = delta;
        return true;
    }
    void OnVScroll(UINT, int position, HWND) override { vScrollPosition = position; }
    void OnHScroll(UINT, int position, HWND) override { hScrollPosition = position; }
    void OnAttach() override { ++attaches; }
};

const RECT kPlace{120, 120, 420, 320};

TEST(OwnClassWindow, IsBoundOnNcCreateAndGetsItsMessagesAsTypedCalls) {
    RegisterTestClasses();
    HWND window = nullptr;
    {
        Probe probe;
        ASSERT_TRUE(probe.CreateEx(0, kOwnClass, L"probe", WS_OVERLAPPEDWINDOW, kPlace, nullptr));
        window = probe.Hwnd();
        EXPECT_EQ(probe.creates, 1);
        EXPECT_TRUE(probe.boundAtCreate);
        EXPECT_EQ(CWnd::FromHandle(window), &probe);

        probe.ShowWindow(SW_SHOW);
        MoveWindow(window, 100, 100, 333, 222, TRUE);
        RECT client = probe.GetClientRect();
        EXPECT_EQ(probe.lastSize.cx, client.right);
        EXPECT_EQ(probe.lastSize.cy, client.bottom);

        const int paintsBefore = probe.paints;
        probe.Invalidate();
        probe.UpdateWindow();
        EXPECT_EQ(probe.paints, paintsBefore + 1);
        EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));  // Default() validated it

        SendMessageW(window, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-2 * WHEEL_DELTA)), 0);
        EXPECT_EQ(probe.wheelDelta, -240);
        // Thumb positions are unsigned 16-bit: a long document scrolls past 32767.
        SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 40000), 0);
        EXPECT_EQ(probe.vScrollPosition, 40000);
        SendMessageW(window, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 65535), 0);
        EXPECT_EQ(probe.hScrollPosition, 65535);
        EXPECT_EQ(probe.Send(kPingMessage), 1);
        EXPECT_EQ(probe.attaches, 0);
    }
    EXPECT_FALSE(IsWindow(window));  // the object destroyed the window it created
}

TEST(OwnClassWindow, TheBindingEndsWhenTheWindowIsDestroyedFirst) {
    RegisterTestClasses();
    Probe probe;
    ASSERT_TRUE(probe.Create(kOwnClass, L"probe", WS_OVERLAPPEDWINDOW, kPlace, nullptr));
    HWND window = probe.Hwnd();
    DestroyWindow(window);
    EXPECT_FALSE(probe.IsWindow());
    EXPECT_EQ(CWnd::FromHandle(window), nullptr);
    EXPECT_TRUE(probe.Create(kOwnClass, L"again", WS_OVERLAPPEDWINDOW, kPlace, nullptr));
}

TEST(ForeignClassWindow, IsAdoptedRightAfterCreation) {
    RegisterTestClasses();
    Probe probe;
    ASSERT_TRUE(probe.CreateEx(0, kForeignClass, L"foreign", WS_OVERLAPPEDWINDOW, kPlace, nullptr));
    EXPECT_EQ(probe.creates, 0);  // WM_CREATE came before the adoption
    EXPECT_EQ(CWnd::FromHandle(probe.Hwnd()), &probe);
    MoveWindow(probe.Hwnd(), 100, 100, 250, 150, TRUE);
    EXPECT_EQ(probe.lastSize.cx, probe.GetClientRect().right);
    EXPECT_EQ(probe.Send(kPingMessage), 1);
}

TEST(SubclassedControl, ReceivesItsMessagesKeepsItsOwnBehaviourAndCanBeReleased) {
    RegisterTestClasses();
    Probe parent;
    ASSERT_TRUE(
        parent.Create(kOwnClass, L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, kPlace, nullptr));
    HWND label = CreateWindowExW(0, L"STATIC", L"before", WS_CHILD | WS_VISIBLE, 10, 10, 120, 20,
                                 parent.Hwnd(), HMENU(77), GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(label);
    {
        Probe control;
        ASSERT_TRUE(control.SubclassDlgItem(77, parent.Hwnd()));
        EXPECT_EQ(control.attaches, 1);
        Probe second;
        EXPECT_FALSE(second.SubclassWindow(label));  // one object per window

        control.SetText(L"after");
        EXPECT_EQ(control.setTextMessages.size(), 1u);
        EXPECT_EQ(control.Text(), L"after");  // the static's own procedure still ran
        const int paintsBefore = control.paints;
        control.Invalidate();
        control.UpdateWindow();
        EXPECT_EQ(control.paints, paintsBefore + 1);

        EXPECT_EQ(control.UnsubclassWindow(), label);
        SetWindowTextW(label, L"released");
        EXPECT_EQ(control.setTextMessages.size(), 1u);
        EXPECT_TRUE(control.SubclassWindow(label));
    }
    EXPECT_TRUE(IsWindow(label));  // an adopted window outlives its object
    EXPECT_EQ(CWnd::FromHandle(label), nullptr);
    wchar_t text[32] = {};
    GetWindowTextW(label, text, 32);
    EXPECT_STREQ(text, L"released");
}

// An owner-draw list that records what its parent hands over.
class RecordingList : public CListBox {
public:
    std::vector<UINT> drawn, measured;
    std::vector<ULONG_PTR> deleted;
    bool throwOnDraw = false;

    void DrawItem(const DRAWITEMSTRUCT& draw) override {
        if (throwOnDraw) throw std::runtime_error("draw failed on purpose");
        drawn.push_back(draw.itemID);
        FillRect(draw.hDC, &draw.rcItem, HBRUSH(GetStockObject(BLACK_BRUSH)));
    }
    void MeasureItem(MEASUREITEMSTRUCT& measure) override {
        measured.push_back(measure.itemID);
        measure.itemHeight = 19;
    }
    void DeleteItem(const DELETEITEMSTRUCT& deletion) override {
        deleted.push_back(deletion.itemData);
    }
};

class ListDialog : public CDialog {
public:
    ListDialog() : CDialog(IDD_UI_TEST_DIALOG) {}
    RecordingList list;

protected:
    void BindControls() override {
        ASSERT_TRUE(list.SubclassDlgItem(IDC_UI_TEST_OWNERDRAW_LIST, Hwnd()));
    }
};

TEST(OwnerDraw, TheParentHandsDrawMeasureAndDeleteToTheControl) {
    ListDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.ShowWindow(SW_SHOW);
    for (int i = 0; i < 3; ++i) dialog.list.SetItemData(dialog.list.AddString(L""), 100 + i);
    EXPECT_EQ(dialog.list.measured, (std::vector<UINT>{0, 1, 2}));
    EXPECT_EQ(dialog.list.Send(LB_GETITEMHEIGHT, 1), 19);

    dialog.list.Invalidate();
    dialog.list.UpdateWindow();
    std::sort(dialog.list.drawn.begin(), dialog.list.drawn.end());  // the focused one twice
    dialog.list.drawn.erase(std::unique(dialog.list.drawn.begin(), dialog.list.drawn.end()),
                            dialog.list.drawn.end());
    EXPECT_EQ(dialog.list.drawn, (std::vector<UINT>{0, 1, 2}));
    EXPECT_FALSE(orvello::test::SaveWindowCapture(dialog.Hwnd(), "ui_owner_draw_list").empty());

    dialog.list.ResetContent();
    std::sort(dialog.list.deleted.begin(), dialog.list.deleted.end());
    EXPECT_EQ(dialog.list.deleted, (std::vector<ULONG_PTR>{100, 101, 102}));
}

class ExceptionLog {
public:
    ExceptionLog() {
        SetExceptionReporter([this](const std::wstring& text) { reports.push_back(text); });
    }
    ~ExceptionLog() { SetExceptionReporter({}); }
    std::vector<std::wstring> reports;
};

TEST(ExceptionBoundary, AThrowingHandlerIsReportedAndTheWindowKeepsWorking) {
    RegisterTestClasses();
    ExceptionLog log;
    Probe probe;
    ASSERT_TRUE(probe.Create(kOwnClass, L"probe", WS_OVERLAPPEDWINDOW, kPlace, nullptr));

    EXPECT_EQ(SendMessageW(probe.Hwnd(), kThrowMessage, 0, 0), 0);
    ASSERT_EQ(log.reports.size(), 1u);
    EXPECT_NE(log.reports[0].find(L"handler failed on purpose"), std::wstring::npos);
    EXPECT_NE(log.reports[0].find(L"0x8001"), std::wstring::npos);  // the message
    EXPECT_EQ(probe.Send(kPingMessage), 1);
}

TEST(ExceptionBoundary, AThrowingControlIsStoppedAtItsParentsProcedure) {
    ExceptionLog log;
    ListDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.ShowWindow(SW_SHOW);
    dialog.list.AddString(L"");
    dialog.list.throwOnDraw = true;
    dialog.list.Invalidate();
    dialog.list.UpdateWindow();  // WM_DRAWITEM reaches the dialog, whose boundary catches
    ASSERT_FALSE(log.reports.empty());
    EXPECT_NE(log.reports[0].find(L"draw failed on purpose"), std::wstring::npos);
    EXPECT_NE(log.reports[0].find(L"0x002B"), std::wstring::npos);  // WM_DRAWITEM
}

class ThrowingInitDialog : public CDialog {
public:
    ThrowingInitDialog() : CDialog(IDD_UI_TEST_DIALOG) {}

protected:
    bool OnInitDialog() override {
        PostMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        throw std::logic_error("initialisation failed on purpose");
    }
};

TEST(ExceptionBoundary, AModalDialogWhoseInitialisationThrowsStillRunsAndEnds) {
    ExceptionLog log;
    ThrowingInitDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(log.reports.size(), 1u);
    EXPECT_NE(log.reports[0].find(L"initialisation failed on purpose"), std::wstring::npos);
}

}  // namespace
}  // namespace orvello::ui
