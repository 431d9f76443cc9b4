#include "dialog/form_layout.hpp"

#include <algorithm>
#include <cmath>

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

std::vector<const ControlSpec*> ControlsInTabOrder()
{
    std::vector<const ControlSpec*> ordered;
    ordered.reserve(kFormControls.size());
    for (const ControlSpec& control : kFormControls) {
        ordered.push_back(&control);
    }
    std::sort(ordered.begin(), ordered.end(),
              [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
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
    const double origin = (static_cast<double>(screenExtent) - windowExtent) / 2.0;
    return static_cast<int>(std::lround(origin));
}

}  // namespace portsetup
