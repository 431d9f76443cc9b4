#pragma once

#include <windows.h>

#include "platform/unique_handle.hpp"

namespace portsetup {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
// CreateFileW fails with INVALID_HANDLE_VALUE, not null.
struct FileCloser {
    static HANDLE Empty() noexcept { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE file) const noexcept { ::CloseHandle(file); }
};
struct GdiObjectCloser {
    void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
struct IconCloser {
    void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleCloser>;
using UniqueFile = UniqueHandle<HANDLE, FileCloser>;
using UniqueFont = UniqueHandle<HGDIOBJ, GdiObjectCloser>;
using UniqueIcon = UniqueHandle<HICON, IconCloser>;

// A window's device context (the screen's for nullptr), released with it.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~WindowDc()
    {
        if (dc_ != nullptr) {
            ::ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    [[nodiscard]] HDC get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context while this lives; the one it
// replaced goes back afterwards.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject()
    {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            ::SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace portsetup
