// Stands in for Windows 11's Windows Runtime class
// Windows.Graphics.Printing.ProtectedPrint.WindowsProtectedPrintInfo, which
// Wine lacks, registered in a test prefix under
// HKLM\Software\Microsoft\WindowsRuntime\ActivatableClassId (an in-process
// class: DllPath, ActivationType 0): its static IsProtectedPrintEnabled
// property answers true, as on a PC where Windows protected print mode is on
// ("WindowsProtectedPrintInfo.IsProtectedPrintEnabled Property", Windows
// Runtime docs; the statics interface is
// a7d212f3-4168-5485-98ab-d89d04603b40).
#include <windows.h>
#include <activation.h>
#include <inspectable.h>

namespace {

constexpr IID kStaticsId{0xa7d212f3, 0x4168, 0x5485, {0x98, 0xab, 0xd8, 0x9d, 0x04, 0x60, 0x3b, 0x40}};

struct ProtectedPrintInfoStatics : IInspectable {
    virtual HRESULT STDMETHODCALLTYPE get_IsProtectedPrintEnabled(boolean* enabled) = 0;
};

class Factory final : public IActivationFactory, public ProtectedPrintInfoStatics {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (IsEqualIID(id, kStaticsId)) {
            *object = static_cast<ProtectedPrintInfoStatics*>(this);
        } else if (IsEqualIID(id, __uuidof(IUnknown)) || IsEqualIID(id, __uuidof(IInspectable)) ||
                   IsEqualIID(id, __uuidof(IActivationFactory)) || IsEqualIID(id, __uuidof(IAgileObject))) {
            *object = static_cast<IActivationFactory*>(this);
        } else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetIids(ULONG* count, IID** ids) override
    {
        *count = 0;
        *ids = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeClassName(HSTRING* name) override
    {
        *name = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetTrustLevel(TrustLevel* level) override
    {
        *level = BaseTrust;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ActivateInstance(IInspectable** instance) override
    {
        *instance = nullptr;
        return E_NOTIMPL;  // a static class
    }
    HRESULT STDMETHODCALLTYPE get_IsProtectedPrintEnabled(boolean* enabled) override
    {
        *enabled = TRUE;
        return S_OK;
    }
};

Factory factory;

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI
    DllGetActivationFactory(HSTRING /*classId*/, IActivationFactory** result)
{
    *result = &factory;
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow()
{
    return S_FALSE;
}
