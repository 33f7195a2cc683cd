#include "dialogs/key_capture_filter_win.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/application.h"

namespace orvello {

namespace {

// The filters of this thread and the one hook they share.
thread_local std::vector<KeyCaptureFilter*> threadFilters;
thread_local HHOOK threadHook = nullptr;

}  // namespace

KeyCaptureFilter::KeyCaptureFilter(Handler handler) : handler_(std::move(handler)) {
    if (!threadHook)
        threadHook =
            SetWindowsHookExW(WH_MSGFILTER, FilterProcedure, nullptr, GetCurrentThreadId());
    threadFilters.push_back(this);
}

KeyCaptureFilter::~KeyCaptureFilter() {
    std::erase(threadFilters, this);
    if (threadFilters.empty() && threadHook) {
        UnhookWindowsHookEx(threadHook);
        threadHook = nullptr;
    }
}

bool KeyCaptureFilter::IsActive() const {
    return threadHook != nullptr;
}

LRESULT CALLBACK KeyCaptureFilter::FilterProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == MSGF_DIALOGBOX) {
        const MSG& message = *reinterpret_cast<const MSG*>(lParam);
        try {
            // A copy: a handler may end a panel, and with it its filter.
            const std::vector<KeyCaptureFilter*> filters = threadFilters;
            for (KeyCaptureFilter* filter : filters) {
                if (std::find(threadFilters.begin(), threadFilters.end(), filter) ==
                    threadFilters.end())
                    continue;
                if (filter->handler_(message)) return TRUE;
            }
        } catch (...) {
            ui::ReportCurrentException(L"key capture filter");
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace orvello
