#pragma once
// Process-wide settings of the memory allocator, and memory for large pools.
#include <cstddef>

// Keeps the memory that a burst of short-lived allocations frees (loading project files into
// XML documents and dropping them, for example) in the process for the next burst, instead of
// handing it back to the system and faulting it in again each time. Call once at start-up.
void keepFreedMemory();

// Memory for large pools, in whole units of Large_Block_Size, backed by huge pages where the
// system offers them (far fewer page faults when a big pool is first touched). Throws
// std::bad_alloc when the system refuses. Free with the same size.
constexpr std::size_t Large_Block_Size = std::size_t(2) << 20;
void* Allocate_Large_Block(std::size_t Bytes);
void Free_Large_Block(void* Block, std::size_t Bytes);
