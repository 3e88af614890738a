#pragma once
// Serial ports in front of others (the scripted fakes, or the real Win32 ones) that can hold
// reads: while a port's name is held, each read on it first waits until the
// test lets go. A test can then look at what the workers did while some port could not finish
// (who reported, who opened, whether a stop returned) as an order, without racing a clock.
// The hold has a bound of its own, so a test that fails before it lets go still ends.

#include "phone/SerialPort.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace vantaro::testing {

// How long a held read waits for a test that never lets go (one that failed on its way).
inline constexpr std::chrono::seconds kLongestHold{60};

class HoldingPorts final : public SerialPorts {
public:
    explicit HoldingPorts(std::shared_ptr<SerialPorts> ports)
        : shared_(std::make_shared<Shared>()), ports_(std::move(ports)) {}
    ~HoldingPorts() override { LetGo(); }

    // Set before a check starts.
    void Hold(std::set<std::string> names) {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->held = std::move(names);
    }
    void LetGo() {
        {
            std::lock_guard<std::mutex> lock(shared_->mutex);
            shared_->held.clear();
        }
        shared_->changed.notify_all();
    }
    // How many reads wait on a hold right now.
    int Waiting() const {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        return shared_->waiting;
    }
    // Waits at most `bound` until `reads` reads wait on a hold; true when they do.
    bool WaitUntilWaiting(int reads, std::chrono::milliseconds bound) const {
        std::unique_lock<std::mutex> lock(shared_->mutex);
        return shared_->changed.wait_for(lock, bound, [&] { return shared_->waiting >= reads; });
    }

    PortOpenResult Open(const std::string& name) override {
        PortOpenResult result = ports_->Open(name);
        if (result.port) result.port = std::make_unique<Port>(shared_, name, std::move(result.port));
        return result;
    }

private:
    // Shared with the ports, which a worker may still hold after the test is gone.
    struct Shared {
        mutable std::mutex mutex;
        std::condition_variable changed;
        std::set<std::string> held;
        int waiting = 0;
    };

    class Port final : public SerialPort {
    public:
        Port(std::shared_ptr<Shared> shared, std::string name, std::unique_ptr<SerialPort> port)
            : shared_(std::move(shared)), name_(std::move(name)), port_(std::move(port)) {}
        bool Write(std::string_view bytes) override { return port_->Write(bytes); }
        std::optional<std::string> Read(std::uint32_t timeoutMs) override {
            {
                std::unique_lock<std::mutex> lock(shared_->mutex);
                if (shared_->held.count(name_) != 0) {
                    ++shared_->waiting;
                    shared_->changed.notify_all();
                    shared_->changed.wait_for(lock, kLongestHold, [&] { return shared_->held.count(name_) == 0; });
                    --shared_->waiting;
                }
            }
            return port_->Read(timeoutMs);
        }
        void Purge() override { port_->Purge(); }
        void Close() override { port_->Close(); }

    private:
        std::shared_ptr<Shared> shared_;
        std::string name_;
        std::unique_ptr<SerialPort> port_;
    };

    std::shared_ptr<Shared> shared_;
    std::shared_ptr<SerialPorts> ports_;
};

} // namespace vantaro::testing
