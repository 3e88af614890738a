#pragma once
// Owners for COM: the apartment of one operation, interface pointers, and item lists that the
// shell's allocator hands out. Each releases exactly once on every way out of a scope.

#include <objbase.h>
#include <shlobj.h>

#include <utility>

namespace vantaro {

// COM for the current thread for one scope. Only an initialisation that succeeded is undone,
// so a thread that already runs another apartment model keeps it.
class ComInitialization {
public:
    ComInitialization() : result_(::CoInitialize(nullptr)) {}
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;
    ~ComInitialization() {
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }

private:
    HRESULT result_;
};

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }

private:
    Interface* pointer_ = nullptr;
};

// An item list from the shell, freed with the allocator it came from.
class ShellItemList {
public:
    explicit ShellItemList(IMalloc* allocator) : allocator_(allocator) {}
    ShellItemList(const ShellItemList&) = delete;
    ShellItemList& operator=(const ShellItemList&) = delete;
    ~ShellItemList() {
        if (items_) allocator_->Free(items_);
    }

    LPITEMIDLIST get() const { return items_; }
    LPITEMIDLIST* put() { return &items_; }

private:
    IMalloc* allocator_;
    LPITEMIDLIST items_ = nullptr;
};

} // namespace vantaro
