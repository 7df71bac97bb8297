#pragma once
// A pool of equally sized, zero-filled blocks carved from large slabs. The tree takes its nodes
// from one pool, so creating a node is a bump of a pointer and freeing one a push onto a free
// list; when the last block is freed the slabs go back to the heap in one go.
#include <cstddef>
#include <cstring>
#include <vector>

class TNodeAllocator {
public:
    explicit TNodeAllocator(std::size_t BlockSize);
    ~TNodeAllocator();
    TNodeAllocator(const TNodeAllocator&) = delete;
    TNodeAllocator& operator=(const TNodeAllocator&) = delete;

    std::size_t BlockSize() const { return FBlockSize; }
    std::size_t LiveCount() const { return FLive; }
    // Heap bytes held in slabs.
    std::size_t ReservedBytes() const { return FReserved; }

    // A block of BlockSize bytes, aligned for pointers, zero-filled from byte ClearFrom on: a
    // caller that writes the head of the block itself passes its size, so no byte is written
    // twice. Blocks are cleared as they are handed out, not when their slab is taken.
    void* Allocate(std::size_t ClearFrom = 0) {
        void* p;
        if (FFree) {
            p = FFree;
            FFree = *static_cast<void**>(p);
        } else {
            if (FBump == FEnd) addSlab();
            p = FBump;
            FBump += FBlockSize;
#if defined(__SANITIZE_ADDRESS__)
            unpoison(p);
#endif
        }
        if (ClearFrom < FBlockSize)
            std::memset(static_cast<unsigned char*>(p) + ClearFrom, 0, FBlockSize - ClearFrom);
        ++FLive;
        return p;
    }
    void Free(void* Block) {
#if defined(__SANITIZE_ADDRESS__)
        // Under the address sanitizer a freed block is poisoned and never reused, so that a
        // use after free or a second free is reported.
        quarantine(Block);
#else
        *static_cast<void**>(Block) = FFree;
        FFree = Block;
#endif
        if (--FLive == 0) releaseSlabs();
    }
    // True when Block lies in one of this pool's slabs.
    bool Owns(const void* Block) const;

private:
    void addSlab();
    void releaseSlabs();
    void quarantine(void* Block) const;
    void unpoison(void* Block) const;

    std::size_t FBlockSize;
    std::size_t FLive = 0;
    std::size_t FReserved = 0;
    std::size_t FNextSlabBlocks;
    unsigned char* FBump = nullptr;
    unsigned char* FEnd = nullptr;
    void* FFree = nullptr;
    struct Slab {
        unsigned char* Memory;
        std::size_t Size;
    };
    std::vector<Slab> FSlabs;
};
