#pragma once
// A question the user answers Yes or No in a message box with the application's title. The
// caller waits for the answer; No is the button a plain Enter gives.

#include <string>

namespace vantaro {

class YesNoQuestion {
public:
    YesNoQuestion() = default;
    YesNoQuestion(const YesNoQuestion&) = delete;
    YesNoQuestion& operator=(const YesNoQuestion&) = delete;
    virtual ~YesNoQuestion() = default;

    // True when the user answered Yes.
    virtual bool Ask(const std::string& text) = 0;
};

} // namespace vantaro
