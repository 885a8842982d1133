#include <gtest/gtest.h>

#include <vector>

#include "runtime/AccessibleModel.h"

namespace {

using namespace rt::acc;

TEST(AccessibleModel, WindowStatesFollowTheWindow)
{
    struct Case {
        bool visible, enabled, focused, focusable;
        unsigned long expected;
    };
    const Case cases[] = {
        {true, true, false, true, kStateFocusable},
        {true, true, true, true, kStateFocusable | kStateFocused},
        {false, true, false, true, kStateInvisible},
        {true, false, false, true, kStateUnavailable},
        {false, false, false, false, kStateInvisible | kStateUnavailable},
        {true, true, false, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(WindowStates(c.visible, c.enabled, c.focused, c.focusable), c.expected)
            << c.visible << c.enabled << c.focused << c.focusable;
}

TEST(AccessibleModel, NeighboursStayAmongTheChildren)
{
    struct Case {
        long count, from;
        int direction;
        long expected;
    };
    const Case cases[] = {
        {3, 0, 0, 1}, {3, 0, 2, 3}, {3, 1, 1, 2}, {3, 3, 1, 0}, {3, 1, -1, 0}, {3, 3, -1, 2},
        {0, 0, 0, 0}, {3, 2, 0, 0}, {3, 0, 1, 0}, {3, 7, -1, 0}, {3, 1, 5, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NeighbourChild(c.count, c.from, c.direction), c.expected) << c.count << " " << c.from << " " << c.direction;
}

class Squares : public Source {
public:
    long ChildCount() const override { return 3; }
    Item Describe(long child) const override
    {
        Item item;
        if (child == 0) return item;
        item.hasPlace = true;
        item.place = {int(child - 1) * 10, 0, int(child) * 10, 10};
        if (child == 2) item.state = kStateOffscreen;
        return item;
    }
};

TEST(AccessibleModel, HitTestSkipsOffscreenChildren)
{
    const Squares squares;
    EXPECT_EQ(squares.ChildAt(0, 0), 1);
    EXPECT_EQ(squares.ChildAt(9, 9), 1);
    EXPECT_EQ(squares.ChildAt(15, 5), 0);  // the offscreen one
    EXPECT_EQ(squares.ChildAt(25, 5), 3);
    EXPECT_EQ(squares.ChildAt(30, 5), 0);
    EXPECT_TRUE(IsChild(squares, 0));
    EXPECT_TRUE(IsChild(squares, 3));
    EXPECT_FALSE(IsChild(squares, 4));
    EXPECT_FALSE(IsChild(squares, -1));
}

}  // namespace

namespace {

TEST(AccessibleModel, ProgressSaysWholePercent)
{
    struct Case {
        std::int64_t min, max, value;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0, 100, 0, L"0%"},      {0, 100, 42, L"42%"},   {0, 100, 100, L"100%"},
        {0, 200, 199, L"99%"},   {0, 3, 2, L"66%"},      {10, 20, 15, L"50%"},
        {0, 100, -5, L"0%"},     {0, 100, 250, L"100%"}, {5, 5, 5, L"0%"},
        {0, 2000000000, 1999999999, L"99%"},
    };
    for (const Case& c : cases) {
        const Item item = ProgressBar(c.min, c.max, c.value);
        EXPECT_EQ(item.value, c.text) << c.min << ".." << c.max << " at " << c.value;
        EXPECT_EQ(item.role, kRoleProgressBar);
    }
}

TEST(AccessibleModel, SimpleControlsCarryTheirText)
{
    EXPECT_EQ(StaticText(L"确定要退出吗？").role, kRoleStaticText);
    EXPECT_EQ(StaticText(L"确定要退出吗？").name, L"确定要退出吗？");
    EXPECT_EQ(TitleBar(L"客户端").role, kRoleTitleBar);
    EXPECT_EQ(TitleBar(L"客户端").name, L"客户端");
    EXPECT_EQ(NamedClient(L"登录").role, kRoleClient);
    const Described described([] { return StaticText(L"甲"); });
    EXPECT_EQ(described.ChildCount(), 0);
    EXPECT_EQ(described.Describe(0).name, L"甲");
    EXPECT_EQ(described.ChildAt(1, 1), 0);
}

}  // namespace
