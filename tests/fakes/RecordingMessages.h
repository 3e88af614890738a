#pragma once
// Message boxes recorded instead of shown.

#include "platform/MessageSink.h"

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace vantaro::testing {

class RecordingMessages final : public MessageSink {
public:
    void Show(const std::string& text) override {
        std::function<void(const std::string&)> hook;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            shown_.push_back(text);
            hook = onShow;
        }
        if (hook) hook(text);
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(mutex_);
        shown_.clear();
    }
    std::vector<std::string> Shown() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return shown_;
    }

    // Runs while the "box" is open, on the thread that shows it.
    std::function<void(const std::string&)> onShow;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> shown_;
};

} // namespace vantaro::testing
