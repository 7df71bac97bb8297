#pragma once
// The worker that all trees share for rebuilding their position caches. Here it only counts
// the trees that use it: the caches are rebuilt on the UI thread until the thread comes.
#include <cstdint>

class TBaseLazyTree;

// Every tree takes a reference when it is constructed and releases it when destroyed.
void WorkerThreadAddRef();
void WorkerThreadRelease(TBaseLazyTree* Tree);
// Number of trees holding a reference; the worker exists while it is above 0.
std::uint32_t WorkerThreadRefCount();
