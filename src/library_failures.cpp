// The program is built without exceptions. What the C++ library would throw
// here cannot be handled anyway (memory exhausted, a string grown past its
// largest size), so the process ends at once with a message. Taking these
// over keeps the library's exception, unwinding and demangling code, over
// 100 KB, out of the executable.
#include <windows.h>

#include <cstdlib>
#include <new>

#include "dialog/form_layout.hpp"
#include "platform/system.hpp"
#include "whole_program.hpp"

namespace {

[[noreturn]] void EndForLackOfMemory()
{
    if (portsetup::WindowsCanBeSeen()) {
        ::MessageBoxW(nullptr, L"There is not enough memory to go on.", portsetup::kFormCaption,
                      MB_OK | MB_ICONERROR | MB_SYSTEMMODAL);
    }
    ::ExitProcess(ERROR_NOT_ENOUGH_MEMORY);
}

}  // namespace

CALLED_FROM_OUTSIDE void* operator new(std::size_t size)
{
    if (void* memory = std::malloc(size == 0 ? 1 : size)) {
        return memory;
    }
    EndForLackOfMemory();
}

CALLED_FROM_OUTSIDE void operator delete(void* memory) noexcept
{
    std::free(memory);
}

CALLED_FROM_OUTSIDE void operator delete(void* memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}

// The library's own failure hooks, called by its inline code built without
// exceptions.
// NOLINTBEGIN(cert-dcl58-cpp,bugprone-reserved-identifier)
namespace std {

CALLED_FROM_OUTSIDE void __throw_bad_alloc()
{
    EndForLackOfMemory();
}

CALLED_FROM_OUTSIDE void __throw_bad_array_new_length()
{
    EndForLackOfMemory();
}

CALLED_FROM_OUTSIDE void __throw_length_error(const char* /*what*/)
{
    EndForLackOfMemory();
}

CALLED_FROM_OUTSIDE void __throw_logic_error(const char* /*what*/)
{
    EndForLackOfMemory();
}

CALLED_FROM_OUTSIDE void __throw_out_of_range_fmt(const char* /*what*/, ...)
{
    EndForLackOfMemory();
}

}  // namespace std
// NOLINTEND(cert-dcl58-cpp,bugprone-reserved-identifier)
