#pragma once

#include <utility>

namespace portsetup {

// Sole owner of a handle, closed by Closer when the owner goes. The empty
// value is T{} (null for every handle type the program keeps).
template <typename T, typename Closer>
class UniqueHandle {
public:
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
    explicit operator bool() const noexcept { return handle_ != T{}; }

    // For out-parameters: closes what is held, then hands out the slot.
    [[nodiscard]] T* put() noexcept
    {
        reset();
        return &handle_;
    }

    [[nodiscard]] T release() noexcept { return std::exchange(handle_, T{}); }

    void reset(T handle = T{}) noexcept
    {
        const T old = std::exchange(handle_, handle);
        if (old != T{}) {
            Closer{}(old);
        }
    }

private:
    T handle_{};
};

}  // namespace portsetup
