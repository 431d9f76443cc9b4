#pragma once

#include <utility>

namespace portsetup {

// Sole owner of a handle, closed by Closer when the owner goes. The empty
// value is Closer::Empty() where the closer names one (INVALID_HANDLE_VALUE
// for a file), otherwise T{} (null).
template <typename T, typename Closer>
class UniqueHandle {
public:
    static T Empty() noexcept
    {
        if constexpr (requires { Closer::Empty(); }) {
            return Closer::Empty();
        } else {
            return T{};
        }
    }

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
            Closer{}(old);
        }
    }

private:
    T handle_ = Empty();
};

}  // namespace portsetup
