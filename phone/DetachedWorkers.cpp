#include "phone/DetachedWorkers.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace vantaro {

DetachedWorkers::DetachedWorkers() : shared_(std::make_shared<Shared>()) {}

DetachedWorkers::~DetachedWorkers() { Stop(); }

DetachedWorkers::Started DetachedWorkers::Start(Work work) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    if (shared_->stopped) return Started::AfterStop;
    ++shared_->running;
    std::shared_ptr<Shared> shared = shared_;
    try {
        // The lock is held until the thread is detached, and the thread takes it before its
        // work: a thread must not end before it is detached. The MinGW threads library keeps
        // the record of a thread that ended undetached until the detach, then reuses it for
        // the next thread while the ended one's exit still clears it: the next worker's
        // mutex is then freed under it.
        std::thread([shared, work = std::move(work)] {
            { std::lock_guard<std::mutex> detached(shared->mutex); }
            Delivery delivery = work(shared->stop);
            std::lock_guard<std::mutex> lock(shared->mutex);
            if (!shared->stopped && delivery) delivery();
            --shared->running;
            shared->ended.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        --shared_->running;
        return Started::NoThread;
    }
    return Started::Yes;
}

void DetachedWorkers::Stop() {
    shared_->stop = true;
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->stopped = true;
}

bool DetachedWorkers::WaitAll(std::uint32_t timeoutMs) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    return shared_->ended.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return shared_->running == 0; });
}

} // namespace vantaro
