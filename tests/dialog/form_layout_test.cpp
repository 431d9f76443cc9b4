#include "dialog/form_layout.hpp"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace portsetup {
namespace {

TEST(FormControls, TabIndicesAreUniqueAndContiguous)
{
    std::set<int> seen;
    for (const ControlSpec& control : kFormControls) {
        EXPECT_TRUE(seen.insert(control.tabIndex).second) << control.name << " " << control.index;
    }
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), static_cast<int>(kFormControls.size()) - 1);
}

TEST(FormControls, IdsAreUniqueAndNeverTheEnterOrEscapeCommand)
{
    std::set<int> seen;
    for (const ControlSpec& control : kFormControls) {
        EXPECT_TRUE(seen.insert(control.id).second);
        EXPECT_NE(control.id, 1);  // IDOK
        EXPECT_NE(control.id, 2);  // IDCANCEL
        EXPECT_EQ(FindControl(control.id), &control);
    }
}

TEST(FormControls, LabelsEndWhereTheListsBegin)
{
    for (int i = 0; i < kSettingListCount; ++i) {
        const ControlSpec* label = FindControl(Label1Id(i));
        const ControlSpec* list = FindControl(Combo1Id(i));
        ASSERT_NE(label, nullptr);
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(label->bounds.left + label->bounds.width, 1680) << std::string(label->name) << i;
        EXPECT_EQ(list->bounds.left, 1680);
        EXPECT_EQ(label->parentId, kPropertiesFrame);
        EXPECT_EQ(list->parentId, kPropertiesFrame);
    }
}

TEST(FormControls, ChildrenLieInsideTheirGroupAndTheWindow)
{
    for (const ControlSpec& control : kFormControls) {
        const TwipsRect outer = ClientBounds(control);
        EXPECT_GE(outer.left, 0);
        EXPECT_GE(outer.top, 0);
        EXPECT_LE(outer.left + outer.width, kClientWidthTwips) << control.name << control.index;
        EXPECT_LE(outer.top + outer.height, kClientHeightTwips) << control.name << control.index;
        if (const ControlSpec* parent = FindControl(control.parentId)) {
            EXPECT_LE(control.bounds.left + control.bounds.width, parent->bounds.width);
            EXPECT_LE(control.bounds.top + control.bounds.height, parent->bounds.height);
        }
    }
}

TEST(ControlsInTabOrder, StartsWithNextThenDeleteThenThePorts)
{
    const auto ordered = ControlsInTabOrder();
    ASSERT_EQ(ordered.size(), kFormControls.size());
    EXPECT_EQ(ordered[0]->id, kCommand1);
    EXPECT_EQ(ordered[1]->id, kCmdDelete);
    for (int i = 0; i < kSerialPortCount; ++i) {
        EXPECT_EQ(ordered[static_cast<std::size_t>(2 + i)]->id, Option1Id(i));
    }
    EXPECT_EQ(ordered[6]->id, Option2Id(0));
    EXPECT_EQ(ordered[8]->id, Combo1Id(0));
}

TEST(ClientBounds, AddsTheGroupsOrigin)
{
    const TwipsRect com3 = ClientBounds(*FindControl(Option1Id(2)));
    EXPECT_EQ(com3.left, 30 + 165);
    EXPECT_EQ(com3.top, 45 + 1085);
    const TwipsRect flow = ClientBounds(*FindControl(Combo1Id(4)));
    EXPECT_EQ(flow.left, 1725 + 1680);
    EXPECT_EQ(flow.top, 75 + 1410);
}

TEST(MembersOf, ThePropertiesGroupHoldsTheFiveListsAndLabels)
{
    EXPECT_EQ(MembersOf(kPropertiesFrame).size(), 10U);
    EXPECT_EQ(MembersOf(kSerialFrame).size(), 4U);
    EXPECT_EQ(MembersOf(kParallelFrame).size(), 2U);
}

TEST(TwipsToPixels, ConvertsAtTheGivenDpi)
{
    EXPECT_EQ(TwipsToPixels(5025, 96), 335);
    EXPECT_EQ(TwipsToPixels(3525, 96), 235);
    EXPECT_EQ(TwipsToPixels(5025, 144), 503);  // 502.5 rounds up
    EXPECT_EQ(TwipsToPixels(3525, 120), 294);  // 293.75
    EXPECT_EQ(TwipsToPixels(-15, 96), -1);
    EXPECT_EQ(TwipsToPixels(0, 144), 0);
}

TEST(CentredOrigin, SplitsTheRemainingSpace)
{
    EXPECT_EQ(CentredOrigin(1280, 341), 470);  // 469.5 rounds away from zero
    EXPECT_EQ(CentredOrigin(1024, 264), 380);
    EXPECT_EQ(CentredOrigin(200, 341), -71);  // a screen smaller than the window: negative, applied as it is
    EXPECT_EQ(CentredOrigin(341, 341), 0);
}

}  // namespace
}  // namespace portsetup
