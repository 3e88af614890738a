#pragma once
// One owner type for every platform handle: the sentinel and the close function are part of
// the type, so a handle is released exactly once on every way out of a scope.

#include <windows.h>

#include <utility>

namespace vantaro {

template <typename T, T Invalid, auto Close>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T value) : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Invalid; }
    T* put() { reset(); return &value_; }
    T release() { return std::exchange(value_, Invalid); }
    void reset(T value = Invalid) {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }

private:
    T value_ = Invalid;
};

namespace detail {
inline void CloseKey(HKEY key) { ::RegCloseKey(key); }
inline void CloseKernelHandle(HANDLE handle) { ::CloseHandle(handle); }
inline void ReleaseModule(HMODULE module) { ::FreeLibrary(module); }
} // namespace detail

using UniqueHkey = UniqueHandle<HKEY, nullptr, detail::CloseKey>;
using UniqueHandleNull = UniqueHandle<HANDLE, nullptr, detail::CloseKernelHandle>;
using UniqueHmodule = UniqueHandle<HMODULE, nullptr, detail::ReleaseModule>;

// File handles use INVALID_HANDLE_VALUE, which is not a constant expression; keep it apart.
class UniqueFileHandle {
public:
    UniqueFileHandle() = default;
    explicit UniqueFileHandle(HANDLE value) : value_(value) {}
    UniqueFileHandle(const UniqueFileHandle&) = delete;
    UniqueFileHandle& operator=(const UniqueFileHandle&) = delete;
    ~UniqueFileHandle() { if (*this) ::CloseHandle(value_); }
    HANDLE get() const { return value_; }
    explicit operator bool() const { return value_ != INVALID_HANDLE_VALUE && value_ != nullptr; }

private:
    HANDLE value_ = INVALID_HANDLE_VALUE;
};

} // namespace vantaro
