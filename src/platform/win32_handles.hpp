#pragma once

#include <windows.h>

#include "platform/unique_handle.hpp"

namespace portsetup {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
struct ModuleCloser {
    void operator()(HMODULE module) const noexcept { ::FreeLibrary(module); }
};
struct GdiObjectCloser {
    void operator()(HGDIOBJ object) const noexcept { ::DeleteObject(object); }
};
struct IconCloser {
    void operator()(HICON icon) const noexcept { ::DestroyIcon(icon); }
};

using UniqueKernelHandle = UniqueHandle<HANDLE, KernelHandleCloser>;
using UniqueModule = UniqueHandle<HMODULE, ModuleCloser>;
using UniqueFont = UniqueHandle<HGDIOBJ, GdiObjectCloser>;
using UniqueIcon = UniqueHandle<HICON, IconCloser>;

}  // namespace portsetup
