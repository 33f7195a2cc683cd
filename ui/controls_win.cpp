// The standard-control wrappers' methods that need more than one message.
#include "ui/controls.h"

namespace orvello::ui {

std::wstring CListBox::GetItemText(int index) const {
    const LRESULT length = Send(LB_GETTEXTLEN, WPARAM(index));
    if (length == LB_ERR) return {};
    std::wstring text(size_t(length) + 1, L'\0');
    const LRESULT copied = Send(LB_GETTEXT, WPARAM(index), LPARAM(text.data()));
    text.resize(copied == LB_ERR ? 0 : size_t(copied));
    return text;
}

RECT CListBox::GetItemRect(int index) const {
    RECT item{};
    Send(LB_GETITEMRECT, WPARAM(index), LPARAM(&item));
    return item;
}

}  // namespace orvello::ui
