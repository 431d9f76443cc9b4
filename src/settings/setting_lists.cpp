#include "settings/setting_lists.hpp"

#include <algorithm>

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

bool IsOfferedPortSettingsValue(std::wstring_view value)
{
    // In the stored order: bits per second, parity, data bits and stop bits,
    // each but the last ended by a comma; then the flow-control code, which
    // carries its own comma.
    constexpr std::array<std::size_t, 4> kListOfField{0, 2, 1, 3};
    const auto offers = [](std::size_t list, std::wstring_view code) {
        const auto& entries = kSettingLists[list].entries;
        return std::any_of(entries.begin(), entries.end(),
                           [code](const SettingEntry& entry) { return entry.code == code; });
    };
    for (std::size_t field = 0; field < kListOfField.size(); ++field) {
        const std::size_t comma = value.find(L',');
        const std::wstring_view code = value.substr(0, comma);
        const bool last = field + 1 == kListOfField.size();
        if (code.empty() || !offers(kListOfField[field], code) || (!last && comma == std::wstring_view::npos)) {
            return false;
        }
        value = comma == std::wstring_view::npos ? std::wstring_view() : value.substr(last ? comma : comma + 1);
    }
    return offers(4, value);
}

std::wstring DefaultPortSettingsValue()
{
    const auto code = [](int list) {
        const SettingList& settings = kSettingLists[static_cast<std::size_t>(list)];
        return std::wstring(settings.entries[static_cast<std::size_t>(settings.defaultIndex)].code);
    };
    return ComposePortSettingsValue({code(0), code(1), code(2), code(3), code(4)});
}

}  // namespace portsetup
