#pragma once
// A top-level test window for frame statics (id 1064, as in the main window's template) that a
// CMarkdownTextCtrl adopts. It counts the wheel messages that reach it, which is where the
// control's default processing sends a wheel it does not use. Hiding or destroying a top-level
// window costs Wine seconds without a window manager, so one host serves many frames.
#include <windows.h>

#include "ui/window.h"

namespace orvello::test {

class MarkdownTestHost : public ui::CWnd {
public:
    static constexpr int kFrameId = 1064;

    // A host with a client area of the given size.
    MarkdownTestHost(int clientWidthPx, int clientHeightPx);

    // A new frame static at the top left of the client area; destroy it when done.
    [[nodiscard]] HWND AddFrame(int widthPx, int heightPx) const;

    [[nodiscard]] int WheelMessagesReceived() const { return wheelMessages_; }
    void ResetWheelCount() { wheelMessages_ = 0; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    int wheelMessages_ = 0;
};

}  // namespace orvello::test
