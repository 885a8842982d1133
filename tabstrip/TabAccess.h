#pragma once
// What a reader hears about the tab strip: a page-tab list whose children are first the tabs
// (ids 1..n, in strip order, named by their captions, the selected one selected) and then each
// tab's close button (ids n+1..2n, "关闭标签"). Tabs outside the tab area are offscreen.

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/AccessibleModel.h"
#include "tabstrip/TabLayout.h"

namespace corvane {

struct TabFacts {
    std::wstring caption;
    long left = 0;  // tab-area coordinates, as the layout keeps them
    long width = 0;
    bool hideButton = false;
};

struct StripFacts {
    StripGeometry geometry;
    std::vector<TabFacts> tabs;
    long selected = -1;
    // How far a crowded strip's picture moves left to show the selected tab, and where the tabs'
    // picture ends (the overflow chevron's left; -1: the tab area's end).
    long shift = 0;
    long visibleEnd = -1;
};

inline constexpr wchar_t kCloseTabName[] = L"关闭标签";
inline constexpr wchar_t kSwitchTabAction[] = L"切换";

// Which tab a child id stands for, and whether it is the tab's close button.
struct TabChild {
    long index = -1;  // -1: the strip itself or no such child
    bool close = false;
};
TabChild TabOfChild(long tabCount, long child);
long ChildOfTab(long index);
long ChildOfCloseButton(long tabCount, long index);

// A child as a queued request names it: its tab's id (1..kMaxTabId, so that the key fits a
// long) and whether it is the close button. 0 for no child, and no id for a key that is not one.
inline constexpr std::uint32_t kMaxTabId = (1u << 30) - 1;
long TabActionKey(std::uint32_t tabId, bool close);
struct TabAction {
    std::uint32_t id = 0;  // 0: none
    bool close = false;
};
TabAction TabOfActionKey(long key);

long StripChildCount(const StripFacts& strip);
rt::acc::Item DescribeStrip(const StripFacts& strip, long child);

}  // namespace corvane
