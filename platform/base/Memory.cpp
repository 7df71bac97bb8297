#include "platform/base/Memory.h"

#include <cstdlib> // defines __GLIBC__ on the GNU C library

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdint>
#include <new>
#include <sys/mman.h>

void keepFreedMemory() {
#if defined(__GLIBC__)
    // Fixed thresholds: blocks up to 16 MB come from the heap, and up to 32 MB of free heap
    // top stays mapped, grown in steps of 4 MB.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
    mallopt(M_TOP_PAD, 4 << 20);
#endif
}

void* Allocate_Large_Block(std::size_t Bytes) {
    const std::size_t size = (Bytes + Large_Block_Size - 1) / Large_Block_Size * Large_Block_Size;
    // Map one unit more and cut it to a unit boundary, so that huge pages can back it.
    const std::size_t mapped = size + Large_Block_Size;
    void* p = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(p);
    const std::uintptr_t aligned =
        (start + Large_Block_Size - 1) / Large_Block_Size * Large_Block_Size;
    if (aligned > start) munmap(p, aligned - start);
    const std::uintptr_t end = start + mapped;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
#if defined(MADV_HUGEPAGE)
    // Only advice: without huge pages the block works the same.
    madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void*>(aligned);
}

void Free_Large_Block(void* Block, std::size_t Bytes) {
    if (!Block) return;
    const std::size_t size = (Bytes + Large_Block_Size - 1) / Large_Block_Size * Large_Block_Size;
    munmap(Block, size);
}
