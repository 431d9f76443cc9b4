#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace portsetup {

inline constexpr int kSettingListCount = 5;

struct SettingEntry {
    std::wstring_view display;
    std::wstring_view code;  // what goes into the Ports value; at most 6 characters, no spaces
};

struct SettingList {
    std::span<const SettingEntry> entries;
    int defaultIndex;
};

inline constexpr std::array<SettingEntry, 12> kBitsPerSecondEntries{{
    {L"1200", L"1200"},
    {L"1800", L"1800"},
    {L"2400", L"2400"},
    {L"4800", L"4800"},
    {L"7200", L"7200"},
    {L"9600", L"9600"},
    {L"14400", L"14400"},
    {L"19200", L"19200"},
    {L"38400", L"38400"},
    {L"57600", L"57600"},
    {L"115200", L"115200"},
    {L"128000", L"128000"},
}};

inline constexpr std::array<SettingEntry, 5> kDataBitsEntries{{
    {L"4", L"4"},
    {L"5", L"5"},
    {L"6", L"6"},
    {L"7", L"7"},
    {L"8", L"8"},
}};

inline constexpr std::array<SettingEntry, 5> kParityEntries{{
    {L"Even", L"e"},
    {L"Odd", L"o"},
    {L"None", L"n"},
    {L"Mark", L"m"},
    {L"Space", L"s"},
}};

inline constexpr std::array<SettingEntry, 3> kStopBitsEntries{{
    {L"1", L"1"},
    {L"1.5", L"1.5"},
    {L"2", L"2"},
}};

// The flow-control code carries its own leading comma.
inline constexpr std::array<SettingEntry, 3> kFlowControlEntries{{
    {L"Xon/Xoff", L",x"},
    {L"Hardware", L",p"},
    {L"None", L""},
}};

// Combo1(0..4): bits per second, data bits, parity, stop bits, flow control.
inline constexpr std::array<SettingList, kSettingListCount> kSettingLists{{
    {kBitsPerSecondEntries, 5},
    {kDataBitsEntries, 4},
    {kParityEntries, 2},
    {kStopBitsEntries, 0},
    {kFlowControlEntries, 2},
}};

inline constexpr std::size_t kSeparatorLength = 100;

// Below HKEY_LOCAL_MACHINE: where Windows keeps its ports' default settings.
inline constexpr const wchar_t* kPortsKeyPath = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";

// An entry's full text: display text, 100 spaces, code.
std::wstring MakeSettingItem(const SettingEntry& entry);

// The code at the end of an entry's full text: its last 10 characters with
// the spaces trimmed. Empty text gives an empty code.
std::wstring ExtractCode(std::wstring_view itemText);

// The part of an entry's full text that the operator sees.
std::wstring_view DisplayTextOf(std::wstring_view itemText);

// Codes of the selected entries, in list order (Combo1(0..4)).
struct SelectedCodes {
    std::wstring bitsPerSecond;
    std::wstring dataBits;
    std::wstring parity;
    std::wstring stopBits;
    std::wstring flowControl;
};

// The Ports value in the order Windows keeps it: "9600,n,8,1" and an
// optional flow-control suffix.
std::wstring ComposePortSettingsValue(const SelectedCodes& codes);

// The fields of a Ports value in the stored order: bits per second, parity,
// data bits, stop bits, flow control (the list each comes from:
// Combo1(0), (2), (1), (3), (4)).
inline constexpr std::size_t kPortSettingsFieldCount = 5;
inline constexpr std::array<std::size_t, kPortSettingsFieldCount> kListOfField{0, 2, 1, 3, 4};

// A Ports value as given on a command line, checked against the lists.
struct PortSettingsCheck {
    std::wstring value;      // as stored, letters in lower case ("19200,N,8,1" gives "19200,n,8,1"); empty when refused
    std::size_t wrongField;  // refused: the first field that is not one of its list's codes, or
                             // kPortSettingsFieldCount when there are more fields
    std::wstring wrongText;  // that field as given (empty: missing)
};
PortSettingsCheck CheckPortSettingsValue(std::wstring_view given);

// The codes a field takes, as a person writes them: "e, o, n, m or s".
std::wstring FieldCodes(std::size_t field);

// The value the lists give with their default entries.
std::wstring DefaultPortSettingsValue();

}  // namespace portsetup
