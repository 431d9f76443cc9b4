#include "platform/error_text.hpp"

#include "platform/win32_handles.hpp"

namespace portsetup {

std::wstring HresultText(HRESULT result)
{
    std::wstring text = L"0x";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text += L"0123456789ABCDEF"[(static_cast<DWORD>(result) >> shift) & 0xF];
    }
    return text;
}

std::wstring SystemErrorText(DWORD errorCode)
{
    UniqueLocalMemory buffer;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(buffer.put()), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer) {
        text.assign(static_cast<const wchar_t*>(buffer.get()), length);
    }
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = L"Error " + DecimalText(errorCode);
    }
    return text;
}

}  // namespace portsetup
