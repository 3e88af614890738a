#include "phone/DetachedWorkers.h"

#include <chrono>
#include <system_error>
#include <thread>

namespace vantaro {

DetachedWorkers::DetachedWorkers() : shared_(std::make_shared<Shared>()) {}

DetachedWorkers::~DetachedWorkers() { Stop(); }

DetachedWorkers::Started DetachedWorkers::Start(Work work) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        if (shared_->stopped) return Started::AfterStop;
        ++shared_->running;
    }
    std::shared_ptr<Shared> shared = shared_;
    try {
        std::thread([shared, work = std::move(work)] {
            Delivery delivery = work(shared->stop);
            std::lock_guard<std::mutex> lock(shared->mutex);
            if (!shared->stopped && delivery) delivery();
            --shared->running;
            shared->ended.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard<std::mutex> lock(shared_->mutex);
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
