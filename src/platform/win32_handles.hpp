#pragma once

#include <windows.h>

#include "platform/system_functions.hpp"
#include "platform/unique_handle.hpp"

namespace portsetup {

inline void ClosePrinterHandle(HANDLE printer)
{
    Winspool().ClosePrinter(printer);  // bound: printers are opened only through the same table
}

// One owner for each kind of handle the program holds.
using UniqueKernelHandle = UniqueHandle<HANDLE, ::CloseHandle>;
using UniqueFile = UniqueHandle<HANDLE, ::CloseHandle, -1>;  // CreateFileW fails with INVALID_HANDLE_VALUE
using UniqueGdiObject = UniqueHandle<HGDIOBJ, ::DeleteObject>;
using UniqueIcon = UniqueHandle<HICON, ::DestroyIcon>;
using UniqueLocalMemory = UniqueHandle<HLOCAL, ::LocalFree>;
using UniqueRegistryKey = UniqueHandle<HKEY, ::RegCloseKey>;
using UniqueServiceHandle = UniqueHandle<SC_HANDLE, ::CloseServiceHandle>;
using UniquePrinter = UniqueHandle<HANDLE, ClosePrinterHandle>;

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
