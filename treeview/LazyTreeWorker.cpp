#include "treeview/LazyTreeWorker.h"

namespace {
std::uint32_t refCount = 0;
} // namespace

void WorkerThreadAddRef() {
    ++refCount;
}

void WorkerThreadRelease(TBaseLazyTree*) {
    if (refCount > 0) --refCount;
}

std::uint32_t WorkerThreadRefCount() {
    return refCount;
}
