#include "dialog/form_layout.hpp"

#include <algorithm>

namespace portsetup {

const ControlSpec* FindControl(int id)
{
    const auto* found = std::find_if(kFormControls.begin(), kFormControls.end(),
                                     [id](const ControlSpec& control) { return control.id == id; });
    return found == kFormControls.end() ? nullptr : found;
}

TwipsRect ClientBounds(const ControlSpec& control)
{
    TwipsRect bounds = control.bounds;
    if (const ControlSpec* parent = FindControl(control.parentId)) {
        const TwipsRect origin = ClientBounds(*parent);
        bounds.left += origin.left;
        bounds.top += origin.top;
    }
    return bounds;
}

std::vector<const ControlSpec*> ControlsInCreationOrder()
{
    std::vector<const ControlSpec*> inTabOrder;
    inTabOrder.reserve(kFormControls.size());
    for (const ControlSpec& control : kFormControls) {
        inTabOrder.push_back(&control);
    }
    // By tab index; an insertion sort, for a table of some thirty entries.
    for (std::size_t sorted = 1; sorted < inTabOrder.size(); ++sorted) {
        for (std::size_t i = sorted; i > 0 && inTabOrder[i]->tabIndex < inTabOrder[i - 1]->tabIndex; --i) {
            std::swap(inTabOrder[i], inTabOrder[i - 1]);
        }
    }
    std::vector<const ControlSpec*> ordered;
    ordered.reserve(kFormControls.size());
    for (const ControlSpec* control : inTabOrder) {
        if (control->kind == ControlKind::DropDownList) {
            ordered.push_back(FindControl(Label1Id(control->index)));
        }
        if (control->kind != ControlKind::Label) {
            ordered.push_back(control);
        }
    }
    return ordered;
}

std::vector<const ControlSpec*> MembersOf(int parentId)
{
    std::vector<const ControlSpec*> members;
    for (const ControlSpec& control : kFormControls) {
        if (control.parentId == parentId) {
            members.push_back(&control);
        }
    }
    return members;
}

int CentredOrigin(int screenExtent, int windowExtent)
{
    // Half the difference, a half rounded away from zero.
    const int difference = screenExtent - windowExtent;
    return difference >= 0 ? (difference + 1) / 2 : -((1 - difference) / 2);
}

}  // namespace portsetup
