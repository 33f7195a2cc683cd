#include "trigger/physical_keys_win.h"

#include <windows.h>

namespace orvello {
namespace {

int SidedVirtualKey(ModifierKey key) {
    switch (key) {
        case ModifierKey::LeftShift:
            return VK_LSHIFT;
        case ModifierKey::RightShift:
            return VK_RSHIFT;
        case ModifierKey::LeftCtrl:
            return VK_LCONTROL;
        case ModifierKey::RightCtrl:
            return VK_RCONTROL;
        case ModifierKey::LeftAlt:
            return VK_LMENU;
        case ModifierKey::RightAlt:
            return VK_RMENU;
        default:
            return 0;
    }
}

}  // namespace

bool IsKeyPhysicallyDown(ModifierKey key) {
    const int virtualKey = SidedVirtualKey(key);
    return virtualKey != 0 && (::GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

}  // namespace orvello
