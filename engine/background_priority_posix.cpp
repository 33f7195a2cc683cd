#include "engine/background_priority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace orvello {

// Linux gives each thread a nice value of its own.
void LowerThisThreadsPriority() noexcept {
    (void)::setpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)), 19);
}

}  // namespace orvello
