#include "dialog/setting_list_control.hpp"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

#include "platform/system_functions.hpp"
#include "settings/setting_lists.hpp"

namespace portsetup {

namespace {

// The display text of the list's chosen entry.
std::wstring ChosenDisplayText(HWND list)
{
    const LRESULT chosen = ::SendMessageW(list, CB_GETCURSEL, 0, 0);
    return chosen == CB_ERR ? std::wstring() : std::wstring(DisplayTextOf(ListItemText(list, chosen)));
}

// A text as a BSTR the caller frees.
HRESULT TextAsBstr(const std::wstring& text, BSTR* bstr)
{
    const auto allocate = Oleaut32().SysAllocStringLen;
    *bstr = allocate != nullptr ? allocate(text.data(), static_cast<UINT>(text.size())) : nullptr;
    return *bstr != nullptr ? S_OK : E_OUTOFMEMORY;
}

// The system's accessible object for a setting list, or for the list of
// entries it opens, with the display texts: the closed list's value is the
// chosen entry's, each entry of the opened list is named by its own.
// Everything else is the system object's.
class DisplayTextAccessible final : public IAccessible {
public:
    // list: the setting list; opened: the object is that of its opened list.
    DisplayTextAccessible(HWND list, bool opened, IAccessible* standard)
        : list_(list), opened_(opened), standard_(standard)
    {
    }
    ~DisplayTextAccessible() { standard_->Release(); }
    DisplayTextAccessible(const DisplayTextAccessible&) = delete;
    DisplayTextAccessible& operator=(const DisplayTextAccessible&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(id, __uuidof(IUnknown)) || IsEqualIID(id, __uuidof(IDispatch)) ||
            IsEqualIID(id, __uuidof(IAccessible))) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return standard_->QueryInterface(id, object);  // IEnumVARIANT, IOleWindow: the system object's
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const auto left = static_cast<ULONG>(::InterlockedDecrement(&references_));
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        if (opened_ || child.vt != VT_I4 || child.lVal != CHILDID_SELF || value == nullptr) {
            return standard_->get_accValue(child, value);
        }
        return TextAsBstr(ChosenDisplayText(list_), value);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        const LRESULT count = ::SendMessageW(list_, CB_GETCOUNT, 0, 0);
        if (!opened_ || child.vt != VT_I4 || child.lVal <= CHILDID_SELF || child.lVal > count || name == nullptr) {
            return standard_->get_accName(child, name);
        }
        // Entries are children 1, 2, ...
        return TextAsBstr(std::wstring(DisplayTextOf(ListItemText(list_, static_cast<WPARAM>(child.lVal - 1)))), name);
    }

#define PASS_ON(method, parameters, arguments)           \
    HRESULT STDMETHODCALLTYPE method parameters override \
    {                                                    \
        return standard_->method arguments;              \
    }
    PASS_ON(GetTypeInfoCount, (UINT * count), (count))
    PASS_ON(GetTypeInfo, (UINT index, LCID locale, ITypeInfo** info), (index, locale, info))
    PASS_ON(GetIDsOfNames, (REFIID id, LPOLESTR* names, UINT count, LCID locale, DISPID* ids),
            (id, names, count, locale, ids))
    PASS_ON(Invoke,
            (DISPID member, REFIID id, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
             EXCEPINFO* exception, UINT* argumentError),
            (member, id, locale, flags, parameters, result, exception, argumentError))
    PASS_ON(get_accParent, (IDispatch * *parent), (parent))
    PASS_ON(get_accChildCount, (LONG * count), (count))
    PASS_ON(get_accChild, (VARIANT child, IDispatch** object), (child, object))
    PASS_ON(get_accDescription, (VARIANT child, BSTR* text), (child, text))
    PASS_ON(get_accRole, (VARIANT child, VARIANT* role), (child, role))
    PASS_ON(get_accState, (VARIANT child, VARIANT* state), (child, state))
    PASS_ON(get_accHelp, (VARIANT child, BSTR* help), (child, help))
    PASS_ON(get_accHelpTopic, (BSTR * file, VARIANT child, LONG* topic), (file, child, topic))
    PASS_ON(get_accKeyboardShortcut, (VARIANT child, BSTR* shortcut), (child, shortcut))
    PASS_ON(get_accFocus, (VARIANT * child), (child))
    PASS_ON(get_accSelection, (VARIANT * children), (children))
    PASS_ON(get_accDefaultAction, (VARIANT child, BSTR* action), (child, action))
    PASS_ON(accSelect, (LONG flags, VARIANT child), (flags, child))
    PASS_ON(accLocation, (LONG * left, LONG* top, LONG* width, LONG* height, VARIANT child),
            (left, top, width, height, child))
    PASS_ON(accNavigate, (LONG direction, VARIANT start, VARIANT* end), (direction, start, end))
    PASS_ON(accHitTest, (LONG left, LONG top, VARIANT* child), (left, top, child))
    PASS_ON(accDoDefaultAction, (VARIANT child), (child))
    PASS_ON(put_accName, (VARIANT child, BSTR name), (child, name))
    PASS_ON(put_accValue, (VARIANT child, BSTR value), (child, value))
#undef PASS_ON

private:
    HWND list_;
    bool opened_;
    IAccessible* standard_;
    LONG references_ = 1;
};

// A window's answer to WM_GETOBJECT for its client object (window: the
// setting list, or the list it opens); 0, for the system's own object, when
// the wrapped one cannot be made or handed over.
LRESULT AccessibleObjectOf(HWND window, HWND list, WPARAM flags)
{
    // The object reaches the screen reader through COM, which this thread
    // joins as a single-threaded apartment (a window's thread) and stays in
    // for the rest of the run; after the first request a call only counts.
    if (const auto initialize = Ole32().CoInitializeEx) {
        initialize(nullptr, COINIT_APARTMENTTHREADED);
    }
    const auto createStandard = Oleacc().CreateStdAccessibleObject;
    const auto resultFromObject = Oleacc().LresultFromObject;
    IAccessible* standard = nullptr;
    if (createStandard == nullptr || resultFromObject == nullptr ||
        createStandard(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard)) != S_OK) {
        return 0;
    }
    auto* answer = new DisplayTextAccessible(list, window != list, standard);
    const LRESULT result = resultFromObject(__uuidof(IAccessible), flags, answer);
    answer->Release();  // the result holds its own reference
    // A failure is a negative HRESULT: the client must not take it for an object.
    return result > 0 ? result : 0;
}

// The opened list's window procedure: its entries named by their display
// texts. data: the setting list.
LRESULT CALLBACK EntryNamesSpoken(HWND entries, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                  DWORD_PTR data)
{
    if (message == WM_GETOBJECT && static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
        if (const LRESULT answer = AccessibleObjectOf(entries, reinterpret_cast<HWND>(data), wParam); answer != 0) {
            return answer;
        }
    } else if (message == WM_NCDESTROY) {
        ::RemoveWindowSubclass(entries, &EntryNamesSpoken, 0);
    }
    return ::DefSubclassProc(entries, message, wParam, lParam);
}

// Has the list the setting list opens name its entries by their display
// texts. Done when a screen reader first asks the setting list for its
// object, not for every start: it takes the start a noticeable time.
void NameOpenedListEntries(HWND list)
{
    COMBOBOXINFO parts{};
    parts.cbSize = sizeof parts;
    if (::GetComboBoxInfo(list, &parts) && parts.hwndList != nullptr) {
        ::SetWindowSubclass(parts.hwndList, &EntryNamesSpoken, 0, reinterpret_cast<DWORD_PTR>(list));
    }
}

LRESULT CALLBACK DisplayTextsSpoken(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR /*id*/,
                                    DWORD_PTR /*data*/)
{
    switch (message) {
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(ChosenDisplayText(list).size());
    case WM_GETTEXT: {
        const std::wstring text = ChosenDisplayText(list);
        if (wParam == 0) {
            return 0;
        }
        const std::size_t length = std::min<std::size_t>(text.size(), wParam - 1);
        auto* buffer = reinterpret_cast<wchar_t*>(lParam);
        std::copy_n(text.data(), length, buffer);
        buffer[length] = L'\0';
        return static_cast<LRESULT>(length);
    }
    case WM_GETOBJECT:
        if (static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
            NameOpenedListEntries(list);
            if (const LRESULT answer = AccessibleObjectOf(list, list, wParam); answer != 0) {
                return answer;
            }
        }
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(list, &DisplayTextsSpoken, 0);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

std::wstring ListItemText(HWND list, WPARAM index)
{
    const LRESULT length = ::SendMessageW(list, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = ::SendMessageW(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void SpeakDisplayTexts(HWND list)
{
    ::SetWindowSubclass(list, &DisplayTextsSpoken, 0, 0);
}

}  // namespace portsetup
