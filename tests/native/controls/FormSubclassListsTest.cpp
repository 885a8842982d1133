// The form subclasser's message lists: -1 for all, 0 for none, free slots reused.

#include <gtest/gtest.h>

#include "subclass/FormSubclassLists.h"

using namespace corvane;

TEST(FormSubclassLists, CountsAllNoneAndSome)
{
    PhaseMessages list;
    EXPECT_FALSE(list.Matches(0x200));
    list.Add(0x200);
    list.Add(0x201);
    list.Add(0x200);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_TRUE(list.Matches(0x201));
    EXPECT_FALSE(list.Matches(0x202));
    list.Add(kAllMessages);
    EXPECT_EQ(list.Count(), -1);
    EXPECT_TRUE(list.Matches(0x202));
    list.Add(0x300);
    EXPECT_EQ(list.Count(), -1);
    list.Clear();
    EXPECT_FALSE(list.Matches(0x200));
}

TEST(FormSubclassLists, WhenFlagsChooseThePhase)
{
    WindowMessageLists lists;
    lists.Add(0x10, kFormWhenBefore);
    lists.Add(0x11, kFormWhenAfter);
    lists.Add(0x12, kFormWhenBefore | kFormWhenAfter);
    EXPECT_TRUE(lists.before.Matches(0x10));
    EXPECT_FALSE(lists.after.Matches(0x10));
    EXPECT_TRUE(lists.after.Matches(0x11));
    EXPECT_FALSE(lists.before.Matches(0x11));
    EXPECT_TRUE(lists.before.Matches(0x12));
    EXPECT_TRUE(lists.after.Matches(0x12));
}
