#include "treeview/NodeAllocator.h"

#include "platform/base/Memory.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

namespace {

bool allZero(const void* p, std::size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    for (std::size_t i = 0; i < n; ++i)
        if (b[i] != 0) return false;
    return true;
}

// Block sizes from the smallest through one that needs several slabs to one bigger than a
// whole large block.
TEST(NodeAllocator, HandsOutDistinctZeroFilledAlignedBlocks) {
    for (std::size_t size :
         {std::size_t(1), std::size_t(80), std::size_t(4096), Large_Block_Size + 24}) {
        TNodeAllocator pool(size);
        ASSERT_GE(pool.BlockSize(), size);
        const std::size_t count = size > 4096 ? 3 : 5000;
        std::set<void*> seen;
        std::vector<void*> blocks;
        for (std::size_t i = 0; i < count; ++i) {
            void* p = pool.Allocate();
            ASSERT_TRUE(allZero(p, pool.BlockSize())) << size;
            ASSERT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(void*), 0u);
            ASSERT_TRUE(seen.insert(p).second) << "block handed out twice, size " << size;
            std::memset(p, 0xAB, pool.BlockSize());
            blocks.push_back(p);
        }
        EXPECT_EQ(pool.LiveCount(), count);
        for (void* p : blocks) EXPECT_TRUE(pool.Owns(p));
        for (void* p : blocks) pool.Free(p);
        EXPECT_EQ(pool.LiveCount(), 0u);
        EXPECT_EQ(pool.ReservedBytes(), 0u) << "the last free returns every slab";
    }
}

TEST(NodeAllocator, ReusedBlocksComeBackCleared) {
    TNodeAllocator pool(64);
    void* keep = pool.Allocate();
    std::vector<void*> blocks;
    for (int i = 0; i < 100; ++i) {
        blocks.push_back(pool.Allocate());
        std::memset(blocks.back(), 0xCD, 64);
    }
    for (void* p : blocks) pool.Free(p);
    for (int i = 0; i < 100; ++i) EXPECT_TRUE(allZero(pool.Allocate(), 64));
    EXPECT_EQ(pool.LiveCount(), 101u);
    EXPECT_TRUE(pool.Owns(keep));
    int outside = 0;
    EXPECT_FALSE(pool.Owns(&outside));
}

// A new pool after a big one was freed takes the kept slabs: they must be cleared again.
TEST(NodeAllocator, KeptSlabsAreClearedForTheNextPool) {
    const std::size_t size = 96;
    const std::size_t count = 3 * Large_Block_Size / size;
    {
        TNodeAllocator first(size);
        std::vector<void*> blocks;
        for (std::size_t i = 0; i < count; ++i) {
            blocks.push_back(first.Allocate());
            std::memset(blocks.back(), 0xEE, size);
        }
        for (void* p : blocks) first.Free(p);
    }
    TNodeAllocator second(size);
    for (std::size_t i = 0; i < count; ++i) ASSERT_TRUE(allZero(second.Allocate(), size)) << i;
}

} // namespace
