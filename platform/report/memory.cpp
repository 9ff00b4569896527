#include "platform/report/memory.h"

// Any C library header says which C library this is (glibc defines __GLIBC__ in it).
#include <cstdlib>

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
