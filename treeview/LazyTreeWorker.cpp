#include "treeview/LazyTreeWorker.h"

#include "platform/base/SysUtils.h"
#include "platform/base/Threads.h"
#include "treeview/LazyTree.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>

namespace {

// The worker takes queued trees one at a time. It never waits for the UI thread: the states it
// changes reach the tree through queued calls, which look the tree up among the live trees
// first, so that a call never reaches a tree that has been freed in the meantime.
class TWorkerThread : public TThread {
public:
    TWorkerThread() : TThread(true) {}
    ~TWorkerThread() override {
        {
            std::lock_guard<std::mutex> lock(mutex);
            Terminate();
            wake = true;
        }
        wakeEvent.notify_all();
        WaitFor();
    }

    void addTree(TBaseLazyTree* Tree) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (std::find(waiters.begin(), waiters.end(), Tree) == waiters.end())
                waiters.push_back(Tree);
            wake = true;
        }
        wakeEvent.notify_one();
    }

    void removeTree(TBaseLazyTree* Tree) {
        std::unique_lock<std::mutex> lock(mutex);
        auto it = std::find(waiters.begin(), waiters.end(), Tree);
        if (it != waiters.end()) waiters.erase(it);
        releaseEvent.wait(lock, [&] { return currentTree != Tree; });
    }

    bool hasTree(TBaseLazyTree* Tree) {
        std::lock_guard<std::mutex> lock(mutex);
        return currentTree == Tree ||
               std::find(waiters.begin(), waiters.end(), Tree) != waiters.end();
    }

    std::uint32_t refCount = 0;
    std::set<TBaseLazyTree*> liveTrees; // changed and read on the UI thread only

protected:
    void Execute() override;

private:
    std::mutex mutex;
    std::condition_variable wakeEvent;
    std::condition_variable releaseEvent;
    bool wake = false;
    std::deque<TBaseLazyTree*> waiters;
    TBaseLazyTree* currentTree = nullptr;
};

TWorkerThread* sharedWorker = nullptr;

} // namespace

// Runs on the worker: rebuilds and hands the outcome to the UI thread.
struct TLazyTreeWorkerAccess {
    static std::uint64_t generation(TBaseLazyTree* Tree) { return Tree->FCacheGeneration.load(); }
    // Not through the vtable: the tree may be in its destructor, which waits for the worker.
    static bool rebuild(TBaseLazyTree* Tree) { return Tree->TBaseLazyTree::RebuildPositionCache(); }
    static void finish(TBaseLazyTree* Tree, bool UseCache, std::uint64_t Generation) {
        Tree->finishCacheValidation(UseCache, Generation);
    }
};

void TWorkerThread::Execute() {
    while (true) {
        TBaseLazyTree* tree = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wakeEvent.wait(lock, [&] { return wake; });
            wake = false;
            if (Terminated()) break;
            if (waiters.empty()) continue;
            tree = waiters.front();
            waiters.pop_front();
            if (!waiters.empty()) wake = true;
            currentTree = tree;
        }
        const std::uint64_t generation = TLazyTreeWorkerAccess::generation(tree);
        bool ok = false;
        try {
            ok = TLazyTreeWorkerAccess::rebuild(tree);
        } catch (...) {
            ok = false;
        }
        // The queued call is the last thing that names the tree; the live set guards it.
        Queue([tree, ok, generation] {
            if (sharedWorker && sharedWorker->liveTrees.count(tree))
                TLazyTreeWorkerAccess::finish(tree, ok, generation);
        });
        {
            std::lock_guard<std::mutex> lock(mutex);
            currentTree = nullptr;
        }
        releaseEvent.notify_all();
    }
}

void WorkerThreadAddRef() {
    if (!sharedWorker) {
        sharedWorker = new TWorkerThread();
        sharedWorker->Start();
    }
    ++sharedWorker->refCount;
}

void WorkerThreadRelease(TBaseLazyTree* Tree) {
    if (!sharedWorker) return;
    --sharedWorker->refCount;
    sharedWorker->removeTree(Tree);
    sharedWorker->liveTrees.erase(Tree);
    if (sharedWorker->refCount == 0) {
        TWorkerThread* worker = sharedWorker;
        sharedWorker = nullptr;
        delete worker;
        TThread::RemoveQueuedEvents(worker);
    }
}

std::uint32_t WorkerThreadRefCount() {
    return sharedWorker ? sharedWorker->refCount : 0;
}

bool WorkerThreadRunning() {
    return sharedWorker != nullptr;
}

void WorkerAddTree(TBaseLazyTree* Tree) {
    if (!Tree) throw EAssertionFailed("Tree must not be nil.");
    if (!sharedWorker) return;
    sharedWorker->liveTrees.insert(Tree);
    sharedWorker->addTree(Tree);
}

void WorkerRemoveTree(TBaseLazyTree* Tree) {
    if (!Tree) throw EAssertionFailed("Tree must not be nil.");
    if (sharedWorker) sharedWorker->removeTree(Tree);
}

bool WorkerHasTree(TBaseLazyTree* Tree) {
    return sharedWorker && sharedWorker->hasTree(Tree);
}
