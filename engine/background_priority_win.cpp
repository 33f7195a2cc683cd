#include "engine/background_priority.h"

#include <windows.h>

namespace orvello {

void LowerThisThreadsPriority() noexcept {
    (void)::SetThreadPriority(::GetCurrentThread(), THREAD_MODE_BACKGROUND_BEGIN);
}

}  // namespace orvello
