#pragma once
// Short names for keys, key lists and recorded owner calls in the trigger tests.
#include <string>
#include <vector>

#include "trigger/modifier_key.h"

namespace orvello::test {

using Calls = std::vector<std::string>;
using Keys = std::vector<ModifierKey>;

inline constexpr auto LS = ModifierKey::LeftShift;
inline constexpr auto RS = ModifierKey::RightShift;
inline constexpr auto LC = ModifierKey::LeftCtrl;
inline constexpr auto RC = ModifierKey::RightCtrl;
inline constexpr auto LA = ModifierKey::LeftAlt;
inline constexpr auto RA = ModifierKey::RightAlt;
inline constexpr auto Letter = ModifierKey::Generic;

}  // namespace orvello::test
