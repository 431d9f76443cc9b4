#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "settings/setting_lists.hpp"

namespace portsetup {

enum class ControlKind { PushButton, GroupBox, RadioButton, DropDownList, Label };

// Control identifiers. None of them is 1 or 2: Windows sends those as the
// command for Enter and Escape when no button takes the key.
enum ControlId : int {
    kCommand1 = 100,
    kCmdDelete = 101,
    kOption1First = 110,  // Option1(0..3): COM1..COM4
    kOption2First = 120,  // Option2(0..1): LPT1, LPT2
    kFrame1First = 130,   // Frame1(0..2)
    kCombo1First = 140,   // Combo1(0..4)
    kLabel1First = 150,   // Label1(0..4)
};

constexpr int Option1Id(int index)
{
    return kOption1First + index;
}
constexpr int Option2Id(int index)
{
    return kOption2First + index;
}
constexpr int Frame1Id(int index)
{
    return kFrame1First + index;
}
constexpr int Combo1Id(int index)
{
    return kCombo1First + index;
}
constexpr int Label1Id(int index)
{
    return kLabel1First + index;
}

inline constexpr int kPropertiesFrame = Frame1Id(2);

struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

struct ControlSpec {
    int id;
    int index;  // index in its control array, or -1
    ControlKind kind;
    int parentId;  // 0: the window itself
    const wchar_t* caption;
    TwipsRect bounds;  // relative to the parent
    int tabIndex;
};

// The window's caption, and the title of the dialog's messages.
inline constexpr const wchar_t* kFormCaption = L"Select Port Type";
inline constexpr int kClientWidthTwips = 5025;
inline constexpr int kClientHeightTwips = 3525;
inline constexpr int kTwipsPerInch = 1440;

// Every control of the window, in stacking order as designed.
inline constexpr std::array<ControlSpec, 21> kFormControls{{
    {kCommand1, -1, ControlKind::PushButton, 0, L"Next (&N)", {3750, 3105, 1215, 375}, 0},
    {Frame1Id(0), 0, ControlKind::GroupBox, 0, L"Serial Port", {30, 45, 1605, 1830}, 20},
    {Option1Id(0), 0, ControlKind::RadioButton, Frame1Id(0), L"COM1", {165, 285, 930, 270}, 2},
    {Option1Id(1), 1, ControlKind::RadioButton, Frame1Id(0), L"COM2", {165, 685, 930, 270}, 3},
    {Option1Id(2), 2, ControlKind::RadioButton, Frame1Id(0), L"COM3", {165, 1085, 930, 270}, 4},
    {Option1Id(3), 3, ControlKind::RadioButton, Frame1Id(0), L"COM4", {165, 1485, 930, 270}, 5},
    {Frame1Id(1), 1, ControlKind::GroupBox, 0, L"Parallel Port", {30, 1950, 1605, 1050}, 19},
    {Option2Id(0), 0, ControlKind::RadioButton, Frame1Id(1), L"LPT1", {165, 285, 1335, 210}, 6},
    {Option2Id(1), 1, ControlKind::RadioButton, Frame1Id(1), L"LPT2", {165, 645, 1335, 210}, 7},
    {kCmdDelete, -1, ControlKind::PushButton, 0, L"Delete (&X)", {60, 3105, 1185, 375}, 1},
    {Frame1Id(2), 2, ControlKind::GroupBox, 0, L"COM Port Properties", {1725, 75, 3255, 1800}, 13},
    {Combo1Id(0), 0, ControlKind::DropDownList, Frame1Id(2), nullptr, {1680, 210, 1530, 300}, 8},
    {Combo1Id(1), 1, ControlKind::DropDownList, Frame1Id(2), nullptr, {1680, 510, 1530, 300}, 9},
    {Combo1Id(2), 2, ControlKind::DropDownList, Frame1Id(2), nullptr, {1680, 810, 1530, 300}, 10},
    {Combo1Id(3), 3, ControlKind::DropDownList, Frame1Id(2), nullptr, {1680, 1110, 1530, 300}, 11},
    {Combo1Id(4), 4, ControlKind::DropDownList, Frame1Id(2), nullptr, {1680, 1410, 1530, 300}, 12},
    {Label1Id(0), 0, ControlKind::Label, Frame1Id(2), L"Bits per sencond : ", {60, 270, 1620, 180}, 18},
    {Label1Id(1), 1, ControlKind::Label, Frame1Id(2), L"Data bits : ", {765, 570, 915, 180}, 17},
    {Label1Id(2), 2, ControlKind::Label, Frame1Id(2), L"Parity : ", {1020, 870, 660, 180}, 16},
    {Label1Id(3), 3, ControlKind::Label, Frame1Id(2), L"Stop Bits : ", {750, 1170, 930, 180}, 15},
    {Label1Id(4), 4, ControlKind::Label, Frame1Id(2), L"Flow control : ", {465, 1470, 1215, 180}, 14},
}};

const ControlSpec* FindControl(int id);

// The control's rectangle relative to the window's client area.
TwipsRect ClientBounds(const ControlSpec& control);

// The order the renderer creates the controls in: tab order, since Windows
// moves the focus through sibling windows in the order they were made, but
// each label just before the list it names, where screen readers look for a
// list's name. Labels take no focus, so the Tab order stays the table's.
std::vector<const ControlSpec*> ControlsInCreationOrder();

// The controls that the "COM Port Properties" group switches on and off.
std::vector<const ControlSpec*> MembersOf(int parentId);

constexpr int TwipsToPixels(int twips, int dpi)
{
    // Rounds to the nearest pixel, away from zero on a tie.
    const long long scaled = static_cast<long long>(twips) * dpi;
    const long long half = kTwipsPerInch / 2;
    return static_cast<int>(scaled >= 0 ? (scaled + half) / kTwipsPerInch : -((-scaled + half) / kTwipsPerInch));
}

// The origin that centres a window of the given outer size on the screen;
// negative when the screen is smaller than the window.
int CentredOrigin(int screenExtent, int windowExtent);

}  // namespace portsetup
