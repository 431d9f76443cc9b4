#include "driver/protected_print.hpp"

#include "platform/system_functions.hpp"

namespace portsetup {

// The class's static interface, IWindowsProtectedPrintInfoStatics. Not of
// this file alone: the compiler would take a type no object here implements
// for one no object anywhere has.
struct ProtectedPrintInfoStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_IsProtectedPrintEnabled(boolean* enabled) = 0;
};

namespace {

constexpr wchar_t kProtectedPrintInfoClass[] = L"Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo";

constexpr IID kProtectedPrintInfoStaticsId{
    0xa7d212f3, 0x4168, 0x5485, {0x98, 0xab, 0xd8, 0x9d, 0x04, 0x60, 0x3b, 0x40}};

}  // namespace

HRESULT AskProtectedPrintMode(bool* on)
{
    *on = false;
    // The Windows Runtime (combase.dll) came with Windows 8; the class with 11 24H2.
    const CombaseFunctions& combase = Combase();
    const auto initialize = combase.RoInitialize;
    const auto uninitialize = combase.RoUninitialize;
    const auto createString = combase.WindowsCreateString;
    const auto deleteString = combase.WindowsDeleteString;
    const auto getFactory = combase.RoGetActivationFactory;
    if (initialize == nullptr || uninitialize == nullptr || createString == nullptr || deleteString == nullptr ||
        getFactory == nullptr) {
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    }
    // S_FALSE (already initialised) is balanced by the uninitialise too; a
    // thread of another apartment kind can still ask.
    const HRESULT initialized = initialize(RO_INIT_MULTITHREADED);
    HSTRING className = nullptr;
    ProtectedPrintInfoStatics* statics = nullptr;
    boolean enabled = 0;
    HRESULT asked =
        createString(kProtectedPrintInfoClass, sizeof kProtectedPrintInfoClass / sizeof(wchar_t) - 1, &className);
    if (SUCCEEDED(asked)) {
        asked = getFactory(className, kProtectedPrintInfoStaticsId, reinterpret_cast<void**>(&statics));
    }
    if (SUCCEEDED(asked)) {
        asked = statics->get_IsProtectedPrintEnabled(&enabled);
        statics->Release();
    }
    deleteString(className);
    if (SUCCEEDED(initialized)) {
        uninitialize();
    }
    *on = SUCCEEDED(asked) && enabled != 0;
    return SUCCEEDED(asked) ? S_OK : asked;
}

}  // namespace portsetup
