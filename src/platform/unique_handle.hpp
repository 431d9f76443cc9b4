#pragma once

#include <cstdint>
#include <utility>

namespace portsetup {

// Sole owner of a handle, closed by Close when the owner goes (Close's
// result is not looked at). Invalid is the handle's empty value as a
// number: 0 (null) for most kinds, -1 for a file (INVALID_HANDLE_VALUE).
template <typename T, auto Close, std::intptr_t Invalid = 0>
class UniqueHandle {
public:
    static T Empty() noexcept { return reinterpret_cast<T>(Invalid); }  // NOLINT(performance-no-int-to-ptr)

    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    [[nodiscard]] T get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Empty(); }

    [[nodiscard]] T release() noexcept { return std::exchange(handle_, Empty()); }

    void reset(T handle = Empty()) noexcept
    {
        const T old = std::exchange(handle_, handle);
        if (old != Empty()) {
            Close(old);
        }
    }

    // For a function that hands the handle back through a pointer: the one
    // held is closed first.
    [[nodiscard]] T* put() noexcept
    {
        reset();
        return &handle_;
    }

private:
    T handle_ = Empty();
};

}  // namespace portsetup
