#include "platform/error_text.hpp"

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
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, errorCode, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length != 0 && buffer != nullptr) {
        text.assign(buffer, length);
    }
    ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = L"Error " + DecimalText(errorCode);
    }
    return text;
}

}  // namespace portsetup
