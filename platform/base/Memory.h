#pragma once
// Process-wide settings of the memory allocator.

// Keeps the memory that a burst of short-lived allocations frees (loading project files into
// XML documents and dropping them, for example) in the process for the next burst, instead of
// handing it back to the system and faulting it in again each time. Call once at start-up.
void Keep_Freed_Memory();
