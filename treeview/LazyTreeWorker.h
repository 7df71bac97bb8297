#pragma once
// The worker that all trees share for rebuilding their position caches: one thread for the
// process, from the first tree's construction to the last tree's destruction.
#include <cstdint>

class TBaseLazyTree;

// Every tree takes a reference when it is constructed and releases it when destroyed.
void WorkerThreadAddRef();
void WorkerThreadRelease(TBaseLazyTree* Tree);
// Number of trees holding a reference; the worker exists while it is above 0.
std::uint32_t WorkerThreadRefCount();
// Whether the worker thread exists now.
bool WorkerThreadRunning();
// Queues a tree for a rebuild of its cache and wakes the worker.
void WorkerAddTree(TBaseLazyTree* Tree);
// Unqueues a tree and waits until the worker no longer works on it.
void WorkerRemoveTree(TBaseLazyTree* Tree);
// Whether Tree is queued or being rebuilt now.
bool WorkerHasTree(TBaseLazyTree* Tree);
