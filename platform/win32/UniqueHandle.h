#pragma once
// One owner type for every platform handle. The traits name the handle's type, what counts as
// no handle and how one is released, so each handle is released exactly once on every way out
// of a scope. Header only: the helper tools include it and link nothing of Vantaro's.

#include <windows.h>
#include <setupapi.h>

#include <utility>

namespace vantaro {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type value) : value_(value) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    ~UniqueHandle() { reset(); }

    Type get() const { return value_; }
    explicit operator bool() const { return !Traits::IsEmpty(value_); }
    // For a call that hands the handle out through a pointer. Whatever a failed call leaves
    // there counts as a handle only if the traits say so.
    Type* put() {
        reset();
        return &value_;
    }
    Type release() { return std::exchange(value_, Traits::Empty()); }
    void reset(Type value = Traits::Empty()) {
        if (!Traits::IsEmpty(value_)) Traits::Close(value_);
        value_ = value;
    }

private:
    Type value_ = Traits::Empty();
};

namespace handle_traits {

// Kernel objects: files, processes, threads, events, pipes. CreateFile and its kind report
// failure as INVALID_HANDLE_VALUE, the others as NULL; both are no handle.
struct Kernel {
    using Type = HANDLE;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type value) { return value == nullptr || value == INVALID_HANDLE_VALUE; }
    static void Close(Type value) { ::CloseHandle(value); }
};

struct Key {
    using Type = HKEY;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type value) { return value == nullptr; }
    static void Close(Type value) { ::RegCloseKey(value); }
};

struct DeviceInfoList {
    using Type = HDEVINFO;
    static Type Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsEmpty(Type value) { return value == INVALID_HANDLE_VALUE || value == nullptr; }
    static void Close(Type value) { ::SetupDiDestroyDeviceInfoList(value); }
};

struct Module {
    using Type = HMODULE;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type value) { return value == nullptr; }
    static void Close(Type value) { ::FreeLibrary(value); }
};

struct Icon {
    using Type = HICON;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type value) { return value == nullptr; }
    static void Close(Type value) { ::DestroyIcon(value); }
};

struct Menu {
    using Type = HMENU;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type value) { return value == nullptr; }
    static void Close(Type value) { ::DestroyMenu(value); }
};

// Blocks the platform hands out from the local heap (security descriptors, message texts).
struct LocalMemory {
    using Type = HLOCAL;
    static Type Empty() { return nullptr; }
    static bool IsEmpty(Type value) { return value == nullptr; }
    static void Close(Type value) { ::LocalFree(value); }
};

} // namespace handle_traits

using UniqueKernelHandle = UniqueHandle<handle_traits::Kernel>;
using UniqueHkey = UniqueHandle<handle_traits::Key>;
using UniqueHdevinfo = UniqueHandle<handle_traits::DeviceInfoList>;
using UniqueHmodule = UniqueHandle<handle_traits::Module>;
using UniqueHicon = UniqueHandle<handle_traits::Icon>;
using UniqueHmenu = UniqueHandle<handle_traits::Menu>;
using UniqueHlocal = UniqueHandle<handle_traits::LocalMemory>;

} // namespace vantaro
