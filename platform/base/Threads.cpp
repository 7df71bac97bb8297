#include "platform/base/Threads.h"

#include "platform/base/SysUtils.h"

#include <chrono>
#include <deque>

TEvent::TEvent(bool manualReset, bool initialState, std::string name)
    : manual_(manualReset), signaled_(initialState), name_(std::move(name)) {}

void TEvent::SetEvent() {
    {
        std::lock_guard lock(m_);
        signaled_ = true;
    }
    cv_.notify_all();
}

void TEvent::ResetEvent() {
    std::lock_guard lock(m_);
    signaled_ = false;
}

TWaitResult TEvent::WaitFor(unsigned timeoutMs) {
    std::unique_lock lock(m_);
    auto ready = [&] { return signaled_; };
    if (timeoutMs == INFINITE)
        cv_.wait(lock, ready);
    else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return wrTimeout;
    if (!manual_) signaled_ = false;
    return wrSignaled;
}

namespace {
struct QueuedCall {
    TThread* thread;
    TThread::TThreadMethod method;
    std::shared_ptr<TEvent> done; // set for Synchronize
    std::exception_ptr error;
};

std::mutex queueMutex;
std::deque<std::shared_ptr<QueuedCall>> queue;
std::function<void()> wakeMain;
std::thread::id mainThread = std::this_thread::get_id();
} // namespace

void SetMainThread() {
    mainThread = std::this_thread::get_id();
}
std::thread::id TThread::MainThreadID() {
    return mainThread;
}
bool TThread::IsMainThread() {
    return std::this_thread::get_id() == mainThread;
}

void SetWakeMainThread(std::function<void()> wake) {
    std::lock_guard lock(queueMutex);
    wakeMain = std::move(wake);
}

bool CheckSynchronize() {
    bool any = false;
    while (true) {
        std::shared_ptr<QueuedCall> call;
        {
            std::lock_guard lock(queueMutex);
            if (queue.empty()) break;
            call = queue.front();
            queue.pop_front();
        }
        any = true;
        try {
            call->method();
        } catch (...) {
            if (!call->done) throw; // a queued call's error reaches the UI loop
            call->error = std::current_exception();
        }
        if (call->done) call->done->SetEvent();
    }
    return any;
}

static void enqueue(const std::shared_ptr<QueuedCall>& call) {
    std::function<void()> wake;
    {
        std::lock_guard lock(queueMutex);
        queue.push_back(call);
        wake = wakeMain;
    }
    if (wake) wake();
}

void TThread::Synchronize(TThread* thread, const TThreadMethod& method) {
    if (IsMainThread()) {
        method();
        return;
    }
    auto call =
        std::make_shared<QueuedCall>(QueuedCall{thread, method, std::make_shared<TEvent>(), {}});
    enqueue(call);
    call->done->WaitFor();
    if (call->error) std::rethrow_exception(call->error);
}

void TThread::Queue(TThread* thread, const TThreadMethod& method) {
    enqueue(std::make_shared<QueuedCall>(QueuedCall{thread, method, nullptr, {}}));
}

void TThread::RemoveQueuedEvents(TThread* thread) {
    std::lock_guard lock(queueMutex);
    for (auto it = queue.begin(); it != queue.end();) {
        if ((*it)->thread == thread && !(*it)->done)
            it = queue.erase(it);
        else
            ++it;
    }
}

TThread::TThread(bool /*createSuspended*/) {}

TThread::~TThread() {
    if (thread_.joinable()) {
        Terminate();
        thread_.join();
    }
    RemoveQueuedEvents(this);
}

void TThread::Start() {
    std::lock_guard lock(startMutex_);
    if (started_) return;
    started_ = true;
    thread_ = std::thread([this] { run(); });
}

void TThread::run() {
    try {
        Execute();
    } catch (const std::exception&) {
        // An exception ends the thread; the model keeps it in FatalException, nobody reads it here.
    }
    finished_ = true;
    if (OnTerminate) Synchronize(this, [this] { OnTerminate(this); });
}

int TThread::WaitFor() {
    if (thread_.joinable() && std::this_thread::get_id() != thread_.get_id()) thread_.join();
    return ReturnValue;
}
