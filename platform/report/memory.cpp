#include "platform/report/memory.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace report {

void giveBackMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

}  // namespace report
