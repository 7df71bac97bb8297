#pragma once
// Threads, events and locks, and the hand-over of work to the UI thread.
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class TCriticalSection {
public:
    void Enter() { m_.lock(); }
    void Leave() { m_.unlock(); }
    bool TryEnter() { return m_.try_lock(); }
    void Acquire() { Enter(); }
    void Release() { Leave(); }

private:
    std::recursive_mutex m_;
};

enum TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };
constexpr unsigned INFINITE = 0xFFFFFFFF;

// Manual- or auto-reset event; waits use real time (they block other threads, not the UI).
class TEvent {
public:
    explicit TEvent(bool manualReset = true, bool initialState = false, std::string name = {});
    void SetEvent();
    void ResetEvent();
    TWaitResult WaitFor(unsigned timeoutMs = INFINITE);
    const std::string& Name() const { return name_; }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool manual_;
    bool signaled_;
    std::string name_;
};

class TThread {
public:
    using TThreadMethod = std::function<void()>;
    // A thread made with createSuspended == false still starts only at Start(): a C++ base
    // constructor cannot run the derived Execute safely.
    explicit TThread(bool createSuspended);
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Resume() { Start(); }
    void Terminate() { terminated_ = true; }
    bool Terminated() const { return terminated_; }
    bool Finished() const { return finished_; }
    bool Suspended() const { return !started_; }
    // Waits until Execute has returned; returns ReturnValue.
    int WaitFor();
    int ReturnValue = 0;
    bool FreeOnTerminate = false;
    std::function<void(TThread*)> OnTerminate;
    std::thread::id ThreadID() const { return thread_.get_id(); }

    // Runs method on the UI thread and waits for it (runs at once on the UI thread itself).
    static void Synchronize(TThread* thread, const TThreadMethod& method);
    // Runs method on the UI thread later, without waiting.
    static void Queue(TThread* thread, const TThreadMethod& method);
    // Drops queued calls of a thread that is going away.
    static void RemoveQueuedEvents(TThread* thread);
    static std::thread::id MainThreadID();
    static bool IsMainThread();

protected:
    virtual void Execute() = 0;
    void Synchronize(const TThreadMethod& m) { Synchronize(this, m); }
    void Queue(const TThreadMethod& m) { Queue(this, m); }

private:
    void run();
    std::thread thread_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    bool started_ = false;
    std::mutex startMutex_;
};

// Runs the calls queued for the UI thread; the UI loop calls it. Returns true when any ran.
bool CheckSynchronize();
// The UI loop installs a function that wakes it when a call is queued.
void SetWakeMainThread(std::function<void()> wake);
// Marks the calling thread as the UI thread (done once at start-up).
void SetMainThread();
