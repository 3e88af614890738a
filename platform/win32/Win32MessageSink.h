#pragma once

#include "platform/MessageSink.h"

#include <windows.h>

namespace vantaro {

// Message boxes with an OK button, the exclamation icon and the exe's base name as title.
// Worker threads use no owner; the dialog's own thread passes the dialog so the box is modal to it.
class Win32MessageSink final : public MessageSink {
public:
    explicit Win32MessageSink(HWND owner = nullptr) : owner_(owner) {}
    void Show(const std::string& text) override;

private:
    HWND owner_;
};

} // namespace vantaro
