#pragma once
// A value that must never be printed: a PIN, a PUK, a password. It converts to no string, so
// it cannot be handed to the log, a message box or a status line by mistake; the one way to
// its characters is Reveal(), for the single call that gives it to the phone or the dial-up
// service. Its bytes are wiped when it is replaced or goes.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace vantaro {

class Secret {
public:
    Secret() = default;
    explicit Secret(std::string_view text) : text_(text) {}
    Secret(const Secret& other) : text_(other.text_) {}
    Secret(Secret&& other) noexcept : text_(std::move(other.text_)) { other.Wipe(); }
    Secret& operator=(const Secret& other) {
        if (this != &other) {
            Wipe();
            text_ = other.text_;
        }
        return *this;
    }
    Secret& operator=(Secret&& other) noexcept {
        if (this != &other) {
            Wipe();
            text_ = std::move(other.text_);
            other.Wipe();
        }
        return *this;
    }
    ~Secret() { Wipe(); }

    bool Empty() const { return text_.empty(); }
    std::size_t Size() const { return text_.size(); }
    // The characters, for the call that sends them and for nothing that prints.
    std::string_view Reveal() const { return text_; }

    friend bool operator==(const Secret& a, const Secret& b) { return a.text_ == b.text_; }
    friend bool operator!=(const Secret& a, const Secret& b) { return !(a == b); }

    // Overwrites the characters before the memory goes back.
    void Wipe() noexcept {
        std::fill(text_.begin(), text_.end(), '\0');
        text_.clear();
    }

private:
    std::string text_;
};

// Wipes a plain string that held a secret on its way in (a dialog's edit text).
inline void WipeText(std::string& text) noexcept {
    std::fill(text.begin(), text.end(), '\0');
    text.clear();
}

} // namespace vantaro
