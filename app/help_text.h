#pragma once
// The help text of the main window, in the markdown subset the help control shows.
#include <string>

namespace orvello {

// Twenty-five lines, each ending in CR LF.
[[nodiscard]] std::u16string MainWindowHelpText();

}  // namespace orvello
