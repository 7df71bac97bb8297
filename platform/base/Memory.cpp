#include "platform/base/Memory.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void Keep_Freed_Memory() {
#if defined(__GLIBC__)
    // Fixed thresholds: blocks up to 16 MB come from the heap, and up to 32 MB of free heap
    // top stays mapped, grown in steps of 4 MB.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
    mallopt(M_TOP_PAD, 4 << 20);
#endif
}
