// Runs into the C++ library's failures, built and linked the way the program
// is: "memory" asks for more memory than there is, "length" for a string
// longer than a string can be. Returns 0 if neither ended it.
#include <windows.h>

#include <cstdint>
#include <new>
#include <string>
#include <string_view>

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR commandLine, int /*showCommand*/)
{
    const std::wstring_view failure(commandLine);
    if (failure == L"memory") {
        void* memory = ::operator new(PTRDIFF_MAX);
        ::OutputDebugStringA(static_cast<const char*>(memory));
        ::operator delete(memory);
    } else if (failure == L"length") {
        std::wstring text;
        text.reserve(text.max_size() + 1);
        ::OutputDebugStringW(text.c_str());
    }
    return 0;
}
