#include "runtime/AccessibleModel.h"

namespace rt::acc {

unsigned long WindowStates(bool visible, bool enabled, bool focused, bool focusable)
{
    unsigned long state = 0;
    if (!visible) state |= kStateInvisible;
    if (!enabled) state |= kStateUnavailable;
    if (focusable && visible && enabled) state |= kStateFocusable;
    if (focused) state |= kStateFocused;
    return state;
}

long Source::ChildAt(int x, int y) const
{
    for (long child = 1; child <= ChildCount(); ++child) {
        const Item item = Describe(child);
        if (item.hasPlace && !(item.state & (kStateInvisible | kStateOffscreen)) && item.place.Contains(x, y))
            return child;
    }
    return 0;
}

Item StaticText(const std::wstring& text)
{
    Item item;
    item.role = kRoleStaticText;
    item.state = kStateReadOnly;
    item.name = text;
    return item;
}

Item TitleBar(const std::wstring& caption)
{
    Item item;
    item.role = kRoleTitleBar;
    item.name = caption;
    item.value = caption;
    return item;
}

Item NamedClient(const std::wstring& name)
{
    Item item;
    item.role = kRoleClient;
    item.name = name;
    return item;
}

Item ProgressBar(std::int64_t min, std::int64_t max, std::int64_t value)
{
    Item item;
    item.role = kRoleProgressBar;
    item.state = kStateReadOnly;
    std::int64_t percent = 0;
    if (max > min) {
        const std::int64_t clamped = value < min ? min : value > max ? max : value;
        percent = (clamped - min) * 100 / (max - min);
    }
    item.value = std::to_wstring(percent);
    item.value.push_back(L'%');
    return item;
}

bool IsChild(const Source& source, long child)
{
    return child >= 0 && child <= source.ChildCount();
}

long NeighbourChild(long childCount, long from, int direction)
{
    if (childCount <= 0) return 0;
    switch (direction) {
    case 0: return from == 0 ? 1 : 0;
    case 2: return from == 0 ? childCount : 0;
    case 1: return from >= 1 && from < childCount ? from + 1 : 0;
    case -1: return from > 1 && from <= childCount ? from - 1 : 0;
    default: return 0;
    }
}

}  // namespace rt::acc
