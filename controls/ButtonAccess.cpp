#include "controls/ButtonAccess.h"

namespace corvane {

rt::acc::Item DescribeButton(const ButtonFacts& facts)
{
    rt::acc::Item item;
    const bool twoState = facts.style == 1;
    item.role = twoState ? rt::acc::kRoleCheckButton : rt::acc::kRolePushButton;
    item.state = rt::acc::kStateFocusable;
    if (twoState && facts.value) item.state |= rt::acc::kStateChecked;
    if (facts.pressed) item.state |= rt::acc::kStatePressed;
    item.name = facts.givenName.empty() ? facts.caption : facts.givenName;
    item.defaultAction = rt::acc::kPressAction;
    return item;
}

}  // namespace corvane
