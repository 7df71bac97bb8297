#include "treeview/NodeAllocator.h"

#include "platform/base/Memory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define POISON(p, n) __asan_poison_memory_region((p), (n))
#define UNPOISON(p, n) __asan_unpoison_memory_region((p), (n))
#else
#define POISON(p, n) ((void)(p), (void)(n))
#define UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace {

constexpr std::size_t firstSlabBlocks = 64;

// Full-size slabs that freed pools gave back, kept for the next pool so that building a big
// tree again does not fault its memory in from the system once more. Bounded.
constexpr std::size_t keptSlabsLimit = 64;

struct SlabCache {
    std::mutex Lock;
    std::vector<unsigned char*> Slabs;
    ~SlabCache() {
        for (unsigned char* s : Slabs) Free_Large_Block(s, Large_Block_Size);
    }
};

SlabCache& slabCache() {
    static SlabCache cache;
    return cache;
}

// A slab, fresh or kept: its blocks are cleared as they are handed out.
unsigned char* takeSlab(std::size_t bytes) {
    if (bytes < Large_Block_Size) return new unsigned char[bytes];
    SlabCache& cache = slabCache();
    unsigned char* slab = nullptr;
    if (bytes == Large_Block_Size) {
        std::lock_guard<std::mutex> hold(cache.Lock);
        if (!cache.Slabs.empty()) {
            slab = cache.Slabs.back();
            cache.Slabs.pop_back();
        }
    }
    if (slab) return slab;
    return static_cast<unsigned char*>(Allocate_Large_Block(bytes));
}

void giveSlab(unsigned char* slab, std::size_t bytes) {
    if (bytes != Large_Block_Size) {
        if (bytes < Large_Block_Size)
            delete[] slab;
        else
            Free_Large_Block(slab, bytes);
        return;
    }
    SlabCache& cache = slabCache();
    {
        std::lock_guard<std::mutex> hold(cache.Lock);
        if (cache.Slabs.size() < keptSlabsLimit) {
            cache.Slabs.push_back(slab);
            return;
        }
    }
    Free_Large_Block(slab, bytes);
}

} // namespace

TNodeAllocator::TNodeAllocator(std::size_t BlockSize)
    : FBlockSize(std::max((BlockSize + alignof(void*) - 1) / alignof(void*) * alignof(void*),
                          sizeof(void*))),
      FNextSlabBlocks(firstSlabBlocks) {}

TNodeAllocator::~TNodeAllocator() {
    releaseSlabs();
}

void TNodeAllocator::quarantine(void* Block) const {
#if defined(__SANITIZE_ADDRESS__)
    if (__asan_address_is_poisoned(Block)) {
        std::fprintf(stderr, "TNodeAllocator: block %p freed twice\n", Block);
        std::abort();
    }
#endif
    POISON(Block, FBlockSize);
}

void TNodeAllocator::unpoison(void* Block) const {
    UNPOISON(Block, FBlockSize);
}

void TNodeAllocator::addSlab() {
    // Small slabs first, doubling, then large blocks of one size (the size the cache keeps).
    std::size_t bytes = FNextSlabBlocks * FBlockSize;
    if (bytes >= Large_Block_Size / 2)
        bytes = std::max(Large_Block_Size, FBlockSize);
    else
        FNextSlabBlocks *= 2;
    // A block bigger than a large block gets a slab of its own, never kept.
    if (bytes > Large_Block_Size) bytes = (bytes / Large_Block_Size + 1) * Large_Block_Size;
    unsigned char* memory = takeSlab(bytes);
    // Blocks not yet handed out are out of bounds for the address sanitizer.
    POISON(memory, bytes);
    FBump = memory;
    FEnd = FBump + bytes / FBlockSize * FBlockSize;
    FSlabs.push_back({memory, bytes});
    FReserved += bytes;
}

void TNodeAllocator::releaseSlabs() {
    for (const Slab& s : FSlabs) {
        UNPOISON(s.Memory, s.Size);
        giveSlab(s.Memory, s.Size);
    }
    FSlabs.clear();
    FBump = FEnd = nullptr;
    FFree = nullptr;
    FReserved = 0;
    FNextSlabBlocks = firstSlabBlocks;
}

bool TNodeAllocator::Owns(const void* Block) const {
    const auto* p = static_cast<const unsigned char*>(Block);
    for (const Slab& s : FSlabs)
        if (p >= s.Memory && p < s.Memory + s.Size) return true;
    return false;
}
