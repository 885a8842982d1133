#include "tabstrip/TabAccess.h"

namespace corvane {

TabChild TabOfChild(long tabCount, long child)
{
    if (child >= 1 && child <= tabCount) return {child - 1, false};
    if (child > tabCount && child <= 2 * tabCount) return {child - tabCount - 1, true};
    return {};
}

long ChildOfTab(long index)
{
    return index + 1;
}

long ChildOfCloseButton(long tabCount, long index)
{
    return tabCount + index + 1;
}

long TabActionKey(std::uint32_t tabId, bool close)
{
    if (tabId == 0 || tabId > kMaxTabId) return 0;
    return static_cast<long>(tabId) * 2 + (close ? 1 : 0);
}

TabAction TabOfActionKey(long key)
{
    if (key < 2) return {};
    return {static_cast<std::uint32_t>(key / 2), key % 2 == 1};
}

long StripChildCount(const StripFacts& strip)
{
    return 2 * static_cast<long>(strip.tabs.size());
}

rt::acc::Item DescribeStrip(const StripFacts& strip, long child)
{
    using namespace rt::acc;
    Item item;
    const long count = static_cast<long>(strip.tabs.size());
    const TabChild which = TabOfChild(count, child);
    if (which.index < 0) {
        item.role = kRolePageTabList;
        return item;
    }
    const TabFacts& tab = strip.tabs[static_cast<std::size_t>(which.index)];
    const StripGeometry& g = strip.geometry;
    // A tab that is not wholly in the tabs' picture is not shown where a reader could point.
    const long left = tab.left - strip.shift;
    const long end = strip.visibleEnd >= 0 ? strip.visibleEnd : g.TabAreaWidth();
    const bool offscreen = tab.width <= 0 || left < 0 || left + tab.width > end;
    item.hasPlace = true;
    if (!which.close) {
        item.role = kRolePageTab;
        item.name = tab.caption;
        item.state = kStateFocusable | kStateSelectable;
        if (which.index == strip.selected) item.state |= kStateSelected;
        if (offscreen) item.state |= kStateOffscreen;
        item.defaultAction = kSwitchTabAction;
        item.place = {int(g.leftSize + left), 0, int(g.leftSize + left + tab.width), int(g.Height())};
        return item;
    }
    item.role = kRolePushButton;
    item.name = kCloseTabName;
    item.defaultAction = rt::acc::kPressAction;
    if (tab.hideButton) item.state |= kStateInvisible;
    if (offscreen) item.state |= kStateOffscreen;
    const CloseButtonPlace box = CloseButtonOf(g, left, tab.width);
    item.place = {int(box.left), int(box.top), int(box.left + box.size), int(box.top + box.size)};
    return item;
}

}  // namespace corvane
