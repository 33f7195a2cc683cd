#pragma once
// A plain top-level window for Wine tests, with a message hook.
#include <windows.h>

#include <functional>

namespace orvello::test {

class TestWindow {
public:
    using Handler = std::function<bool(UINT, WPARAM, LPARAM)>;  // true: handled

    explicit TestWindow(const wchar_t* title, COLORREF background = RGB(255, 255, 255));
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    void OnMessage(Handler handler) { handler_ = std::move(handler); }

private:
    static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
    HBRUSH background_ = nullptr;
    Handler handler_;
};

}  // namespace orvello::test
