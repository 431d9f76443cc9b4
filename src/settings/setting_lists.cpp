#include "settings/setting_lists.hpp"

#include <algorithm>
#include <vector>

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

PortSettingsCheck CheckPortSettingsValue(std::wstring_view given)
{
    std::wstring lower(given);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; });
    std::vector<std::size_t> starts{0};  // where each field starts
    for (std::size_t at = lower.find(L','); at != std::wstring::npos; at = lower.find(L',', at + 1)) {
        starts.push_back(at + 1);
    }
    for (std::size_t field = 0; field < kPortSettingsFieldCount; ++field) {
        if (field == starts.size() && field + 1 == kPortSettingsFieldCount) {
            break;  // no flow control
        }
        const std::size_t start = field < starts.size() ? starts[field] : lower.size();
        const std::size_t end = field + 1 < starts.size() ? starts[field + 1] - 1 : lower.size();
        // The flow-control code carries its own comma.
        const std::wstring code =
            (field + 1 == kPortSettingsFieldCount ? L"," : L"") + lower.substr(start, end - start);
        const auto& entries = kSettingLists[kListOfField[field]].entries;
        if (field >= starts.size() || code.empty() || code == L"," ||
            std::none_of(entries.begin(), entries.end(), [&code](const SettingEntry& e) { return e.code == code; })) {
            return {{}, field, std::wstring(given.substr(start, end - start))};
        }
    }
    if (starts.size() > kPortSettingsFieldCount) {
        return {{}, kPortSettingsFieldCount, {}};
    }
    return {lower, 0, {}};
}

std::wstring FieldCodes(std::size_t field)
{
    std::wstring codes;
    const auto& entries = kSettingLists[kListOfField[field]].entries;
    std::size_t shown = 0;
    for (const SettingEntry& entry : entries) {
        const std::wstring_view code = entry.code.starts_with(L',') ? entry.code.substr(1) : entry.code;
        if (!code.empty()) {
            codes += (shown == 0 ? L"" : L", ") + std::wstring(code);
            ++shown;
        }
    }
    const std::size_t lastComma = codes.rfind(L", ");
    return lastComma == std::wstring::npos ? codes : codes.replace(lastComma, 2, L" or ");
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
