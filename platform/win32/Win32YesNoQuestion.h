#pragma once

#include "platform/YesNoQuestion.h"

#include <windows.h>

namespace vantaro {

// Yes and No, the question icon, No as the default button, the exe's base name as title.
// Worker threads use no owner, as with the message boxes they show.
class Win32YesNoQuestion final : public YesNoQuestion {
public:
    explicit Win32YesNoQuestion(HWND owner = nullptr) : owner_(owner) {}
    bool Ask(const std::string& text) override;

private:
    HWND owner_;
};

} // namespace vantaro
