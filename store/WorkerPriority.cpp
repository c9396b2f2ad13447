#include "store/WorkerPriority.h"

#ifdef __linux__
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace {

constexpr int workerNiceness = 10;

} // namespace

// On Linux each thread has a niceness of its own.
void lowerWorkerPriority() {
#ifdef __linux__
    setpriority(PRIO_PROCESS, id_t(gettid()), workerNiceness);
#endif
}
