#pragma once
// Windows only: the physical state of a trigger key.
#include "trigger/modifier_key.h"

namespace orvello {

// Whether the key is held now, by GetAsyncKeyState with the left or right key code.
[[nodiscard]] bool IsKeyPhysicallyDown(ModifierKey key);

}  // namespace orvello
