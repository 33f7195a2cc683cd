#pragma once
// Lets a key panel see keyboard messages before the dialog manager does, as a message
// pre-translation: the dialog loops (DialogBox, IsDialogMessage) pass every message
// through the thread's message filter (WH_MSGFILTER, MSGF_DIALOGBOX) first. Without it
// Escape would cancel the editor and Tab would move the focus instead of being captured.
// One hook serves all filters of a thread; it is removed with the last filter.
#include <windows.h>

#include <functional>

namespace orvello {

class KeyCaptureFilter {
public:
    // Returns true when it consumed the message, which then reaches no window.
    using Handler = std::function<bool(const MSG&)>;

    explicit KeyCaptureFilter(Handler handler);
    ~KeyCaptureFilter();
    KeyCaptureFilter(const KeyCaptureFilter&) = delete;
    KeyCaptureFilter& operator=(const KeyCaptureFilter&) = delete;

    // False when the hook could not be installed; the panel then captures nothing.
    [[nodiscard]] bool IsActive() const;

private:
    static LRESULT CALLBACK FilterProcedure(int code, WPARAM wParam, LPARAM lParam);

    Handler handler_;
};

}  // namespace orvello
