#pragma once
// Message boxes: an OK button, the exclamation icon and the application's title.
// The caller waits until the user has closed the box.

#include <string>

namespace vantaro {

class MessageSink {
public:
    MessageSink() = default;
    MessageSink(const MessageSink&) = delete;
    MessageSink& operator=(const MessageSink&) = delete;
    virtual ~MessageSink() = default;

    virtual void Show(const std::string& text) = 0;
};

} // namespace vantaro
