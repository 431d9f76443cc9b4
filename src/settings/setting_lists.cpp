#include "settings/setting_lists.hpp"

namespace portsetup {

namespace {

constexpr std::size_t kCodeFieldLength = 10;

std::wstring_view TrimSpaces(std::wstring_view text)
{
    const std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

}  // namespace

std::wstring MakeSettingItem(const SettingEntry& entry)
{
    std::wstring item;
    item.reserve(entry.display.size() + kSeparatorLength + entry.code.size());
    item.append(entry.display);
    item.append(kSeparatorLength, L' ');
    item.append(entry.code);
    return item;
}

std::wstring ExtractCode(std::wstring_view itemText)
{
    const std::size_t start = itemText.size() > kCodeFieldLength ? itemText.size() - kCodeFieldLength : 0;
    return std::wstring(TrimSpaces(itemText.substr(start)));
}

std::wstring_view DisplayTextOf(std::wstring_view itemText)
{
    const std::wstring separator(kSeparatorLength, L' ');
    return itemText.substr(0, itemText.find(separator));
}

std::wstring ComposePortSettingsValue(const SelectedCodes& codes)
{
    std::wstring value;
    value.append(codes.bitsPerSecond);
    value.append(L",").append(codes.parity);
    value.append(L",").append(codes.dataBits);
    value.append(L",").append(codes.stopBits);
    value.append(codes.flowControl);
    return value;
}

}  // namespace portsetup
