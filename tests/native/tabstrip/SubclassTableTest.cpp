// The self-subclasser's message tables: 32 slots, free slots reused, ALL_MESSAGES both ways.

#include <gtest/gtest.h>

#include "subclass/SubclassTable.h"

namespace {

using corvane::ALL_MESSAGES;
using corvane::SubclassTable;

TEST(SubclassTable, HoldsThirtyTwoMessagesAndRefusesTheThirtyThird)
{
    SubclassTable t;
    EXPECT_FALSE(t.Matches(0x100));
    for (int m = 1; m <= 32; ++m) EXPECT_TRUE(t.Add(0x400 + m));
    EXPECT_TRUE(t.Add(0x401));  // listed already: no new slot needed
    EXPECT_FALSE(t.Add(0x400 + 33));
    EXPECT_EQ(t.Count(), 32);
    EXPECT_TRUE(t.Matches(0x401));
    EXPECT_TRUE(t.Matches(0x420));
    EXPECT_FALSE(t.Matches(0x421));

    // A deletion leaves a free slot that the next message takes.
    t.Delete(0x405);
    EXPECT_FALSE(t.Matches(0x405));
    EXPECT_EQ(t.Count(), 32);
    EXPECT_TRUE(t.Add(0x421));
    EXPECT_TRUE(t.Matches(0x421));
    EXPECT_FALSE(t.Add(0x422));
}

TEST(SubclassTable, AllMessagesThenASpecificOne)
{
    SubclassTable t;
    t.Add(ALL_MESSAGES);
    EXPECT_TRUE(t.Matches(0x0F));
    EXPECT_TRUE(t.Matches(0x2A3));
    t.Delete(0x0F);  // nothing to delete from "every message"
    EXPECT_TRUE(t.Matches(0x0F));
    t.Add(15);
    EXPECT_EQ(t.Count(), 1);
    EXPECT_TRUE(t.Matches(15));
    EXPECT_FALSE(t.Matches(0x2A3));
    t.Delete(ALL_MESSAGES);
    EXPECT_FALSE(t.Matches(15));
    EXPECT_EQ(t.Count(), 0);
}

TEST(SubclassTable, FreeSlotsMatchNothing)
{
    SubclassTable t;
    t.Add(5);
    t.Delete(5);
    EXPECT_FALSE(t.Matches(0));
    EXPECT_FALSE(t.Matches(5));
}

}  // namespace
