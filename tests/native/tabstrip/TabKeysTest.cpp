// The tab-switching keys: which chords are ours and what they select.

#include <gtest/gtest.h>

#include "tabstrip/TabKeys.h"

namespace {

using corvane::KeyChord;

constexpr unsigned kTab = 0x09;

TEST(TabKeys, Targets)
{
    struct Case {
        KeyChord key;
        long count, selected, target;
    };
    const Case cases[] = {
        {{kTab, true}, 14, 13, 0},          // Ctrl+Tab from the last wraps to the first
        {{kTab, true}, 14, 2, 3},
        {{kTab, true, true}, 14, 0, 13},    // Ctrl+Shift+Tab from the first wraps to the last
        {{kTab, true, true}, 14, 5, 4},
        {{kTab, true}, 1, 0, 0},
        {{kTab, true}, 3, -1, 0},           // nothing selected
        {{kTab, true, true}, 3, -1, 2},
        {{'1', true}, 14, 5, 0},
        {{'2', true}, 14, 5, 1},
        {{'8', true}, 14, 5, 7},
        {{'8', true}, 5, 0, -1},            // no eighth tab
        {{'9', true}, 14, 0, 13},           // the last, however many
        {{'9', true}, 1, 0, 0},
        {{kTab, true}, 0, -1, -1},          // no tabs
        {{'2', true}, 0, -1, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(corvane::TabKeyTarget(c.key, c.count, c.selected), c.target)
            << c.key.vk << " shift " << c.key.shift << " of " << c.count << " from " << c.selected;
}

TEST(TabKeys, OnlyCtrlChordsAreOurs)
{
    EXPECT_TRUE(corvane::IsTabKey({kTab, true}));
    EXPECT_TRUE(corvane::IsTabKey({kTab, true, true}));
    EXPECT_TRUE(corvane::IsTabKey({'5', true}));
    EXPECT_FALSE(corvane::IsTabKey({kTab}));                    // the page's own Tab
    EXPECT_FALSE(corvane::IsTabKey({kTab, false, true}));
    EXPECT_FALSE(corvane::IsTabKey({'5'}));
    EXPECT_FALSE(corvane::IsTabKey({'5', true, true}));         // Ctrl+Shift+digit is the page's
    EXPECT_FALSE(corvane::IsTabKey({'5', true, false, true}));  // AltGr is Ctrl+Alt
    EXPECT_FALSE(corvane::IsTabKey({'0', true}));
    EXPECT_FALSE(corvane::IsTabKey({'A', true}));
    EXPECT_EQ(corvane::TabKeyTarget({kTab}, 5, 0), -1);
}

TEST(TabKeys, CtrlWAndCtrlF4CloseTheTab)
{
    constexpr unsigned kF4 = 0x73;
    const struct {
        corvane::KeyChord key;
        bool closes;
    } cases[] = {
        {{'W', true}, true},
        {{kF4, true}, true},
        {{'W'}, false},                     // typing a W
        {{kF4}, false},
        {{kF4, false, false, true}, false},  // Alt+F4 closes the window, not the tab
        {{kF4, true, false, true}, false},
        {{'W', true, true}, false},
        {{'W', true, false, true}, false},   // AltGr
        {{'Q', true}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(corvane::IsCloseTabKey(c.key), c.closes)
            << c.key.vk << " ctrl " << c.key.ctrl << " shift " << c.key.shift << " alt " << c.key.alt;
        EXPECT_FALSE(corvane::IsTabKey(c.key));
        EXPECT_EQ(corvane::TabKeyTarget(c.key, 3, 1), -1);
    }
}

}  // namespace
