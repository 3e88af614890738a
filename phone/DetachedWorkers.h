#pragma once
// Workers that talk to phones on threads of their own, for a caller that must never wait for
// a phone (a dialog that closes). Stop() returns at once: the workers see the stop at their
// next bound, close their ports and end on their own; what they would have reported is
// dropped. Each worker owns what it uses, so nothing it touches ends before it does.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

namespace vantaro {

class DetachedWorkers {
public:
    // What a worker hands back to be run on its thread, unless the caller stopped first.
    using Delivery = std::function<void()>;
    using Work = std::function<Delivery(const std::atomic<bool>& stop)>;

    DetachedWorkers();
    DetachedWorkers(const DetachedWorkers&) = delete;
    DetachedWorkers& operator=(const DetachedWorkers&) = delete;
    ~DetachedWorkers();  // stops; never waits for a phone

    enum class Started { Yes, AfterStop, NoThread };
    // Runs work on a new thread; its delivery runs there once it is done, one delivery at a
    // time and never after Stop() has returned. The work is not run after Stop(), nor when
    // the system gives no thread.
    Started Start(Work work);
    // Asks every worker to stop. Returns once no delivery is running; a delivery must
    // therefore never wait for the thread that calls Stop (post to it, do not send).
    void Stop();
    // Waits at most timeoutMs for every worker to end; true when they all have. For a caller
    // that may wait (the command line, tests), never for a dialog.
    bool WaitAll(std::uint32_t timeoutMs);

private:
    struct Shared {
        std::atomic<bool> stop{false};
        std::mutex mutex;
        std::condition_variable ended;
        bool stopped = false;  // under mutex: no delivery from now on
        int running = 0;       // under mutex
    };
    std::shared_ptr<Shared> shared_;
};

} // namespace vantaro
