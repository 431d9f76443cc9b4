#include "platform/portable/log_text.hpp"

#include <algorithm>

namespace portsetup {

namespace {

bool IsControl(wchar_t c)
{
    return c < L' ' || c == 0x7F;
}

}  // namespace

std::wstring Widened(std::string_view ascii)
{
    return {ascii.begin(), ascii.end()};
}

std::wstring operator""_w(const char* ascii, std::size_t length)
{
    return Widened({ascii, length});
}

std::wstring EscapedForLog(std::wstring_view text)
{
    constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'\r' || c == L'\n') {
            escaped += c == L'\r' ? L"\\r" : L"\\n";
        } else if (IsControl(c)) {
            escaped += {L'\\', L'x', kHexDigits[c >> 4], kHexDigits[c & 0xF]};
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::wstring QuotedArgument(std::wstring_view argument)
{
    const bool quoted = argument.empty() || std::any_of(argument.begin(), argument.end(), [](wchar_t c) {
                            return c == L' ' || c == L'"' || IsControl(c);
                        });
    if (!quoted) {
        return std::wstring(argument);
    }
    std::wstring shown = L"\"";
    for (const wchar_t c : argument) {
        shown += c == L'"' ? std::wstring(L"\\\"") : std::wstring(1, c);
    }
    return shown + L'"';
}

std::wstring DecimalText(unsigned long number, std::size_t minimumDigits)
{
    std::wstring digits;
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + number % 10));
        number /= 10;
    } while (number != 0);
    if (digits.size() < minimumDigits) {
        digits.insert(0, minimumDigits - digits.size(), L'0');
    }
    return digits;
}

}  // namespace portsetup
