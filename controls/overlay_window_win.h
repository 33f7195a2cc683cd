#pragma once
// COverlayWindow: the small always-on-top panel near the bottom centre of the primary monitor
// that shows "Orvello Starting" while the engine loads and "Listening" with a level graph while
// the trigger is held, or a hands-free recording's hint over that graph, and above them the end
// of the recording's text so far. It never activates and
// never takes the focus. User-interface thread only; level values arrive as posted messages that
// the owner hands to PushLevel.
#include <windows.h>

#include <deque>
#include <string>

#include "controls/overlay_status.h"
#include "ui/window.h"

namespace orvello {

class COverlayWindow : public ui::CWnd {
public:
    static constexpr const wchar_t* kClassName = L"OrvelloOverlayWindow";
    static constexpr const wchar_t* kTitle = L"OrvelloOverlay";
    static constexpr BYTE kAlpha = 235;

    COverlayWindow() = default;
    ~COverlayWindow() override = default;

    // Creates the window, hidden, unless it exists; false when that fails (the overlay then
    // simply never shows).
    [[nodiscard]] bool Create();
    // Takes the primary monitor's DPI again and places (and shows) the window without
    // activating it.
    void Reposition();
    void Hide();
    void ShowStarting();
    void ShowListening();
    // The recording goes on hands-free: `text` (for example how to stop it) over the level graph.
    void ShowHandsFree(std::u16string text);
    // The recording's text so far, in a wider and taller window, its last lines over the status
    // row; ignored unless listening. ShowListening and Hide take it away.
    void ShowLiveText(std::u16string text);
    // `rawLevel` is the level message's wParam: the level × 1000. Ignored unless listening.
    void PushLevel(WPARAM rawLevel);

    [[nodiscard]] OverlayState State() const { return status_.State(); }
    [[nodiscard]] const std::deque<float>& LevelHistory() const { return status_.LevelHistory(); }
    [[nodiscard]] int Dpi() const { return dpi_; }

protected:
    bool OnEraseBkgnd(HDC dc) override;
    void OnPaint() override;

private:
    void RefreshDpi();
    void ApplyAppearance() const;
    void SetRoundedRegion() const;
    void ShowAndPaintNow();

    OverlayStatus status_;
    int dpi_ = 96;
};

}  // namespace orvello
