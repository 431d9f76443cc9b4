// A harmless DLL the tests plant where a program must not look for DLLs.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE /*self*/, DWORD /*reason*/, LPVOID /*reserved*/)
{
    return TRUE;
}
