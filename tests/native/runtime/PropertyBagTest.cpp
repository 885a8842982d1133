#include <gtest/gtest.h>

#include "runtime/PropertyBag.h"

namespace {

TEST(PropertyBag, ValuesEqualToTheirDefaultAreNotStored)
{
    rt::PropertyBag bag;
    bag.Write(L"Enabled", true, true);
    bag.Write(L"Caption", std::wstring(L"是"), std::wstring(L""));
    bag.Write(L"Style", std::int32_t{0}, std::int32_t{0});
    bag.Write(L"cForeColor", std::int32_t{0x80000012 - 0x100000000LL});  // no default: always stored
    EXPECT_FALSE(bag.Contains(L"Enabled"));
    EXPECT_TRUE(bag.Contains(L"Caption"));
    EXPECT_FALSE(bag.Contains(L"Style"));
    EXPECT_TRUE(bag.Contains(L"cForeColor"));

    // Writing the default again removes a value stored earlier.
    bag.Write(L"Caption", std::wstring(L""), std::wstring(L""));
    EXPECT_FALSE(bag.Contains(L"Caption"));
}

TEST(PropertyBag, ReadingFallsBackToTheDefault)
{
    rt::PropertyBag bag = rt::PropertyBag::Parse(L"Caption=\"游戏大厅\"\nStyle=1\nAutoSize=False\n");
    EXPECT_EQ(bag.ReadString(L"Caption", L""), L"游戏大厅");
    EXPECT_EQ(bag.ReadInt(L"Style", 0), 1);
    EXPECT_FALSE(bag.ReadBool(L"AutoSize", true));
    EXPECT_TRUE(bag.ReadBool(L"Enabled", true));
    // A value of another type than the default's is not trusted.
    EXPECT_EQ(bag.ReadInt(L"Caption", 7), 7);
}

TEST(PropertyBag, JournalKeepsTheOrderOfReadsAndWrites)
{
    rt::PropertyBag bag;
    bag.ReadString(L"BackColor", L"14346732");
    bag.ReadString(L"Caption", L"NewForm");
    bag.ReadInt(L"frmHwnd", 0);
    bag.Write(L"BackColor", std::wstring(L"255"), std::wstring(L"14346732"));
    bag.Write(L"Caption", std::wstring(L"NewForm"), std::wstring(L"NewForm"));
    EXPECT_EQ(bag.ReadOrder(), (std::vector<std::wstring>{L"BackColor", L"Caption", L"frmHwnd"}));
    EXPECT_EQ(bag.WriteOrder(), (std::vector<std::wstring>{L"BackColor", L"Caption"}));
    bag.ClearJournal();
    EXPECT_TRUE(bag.ReadOrder().empty());
}

TEST(PropertyBag, TextFormRoundTripsEveryKindOfValue)
{
    rt::PropertyBag bag;
    bag.Write(L"Caption", std::wstring(L"a \"quoted\" \\ line\nnext"));
    bag.Write(L"Enabled", false);
    bag.Write(L"Min", std::int32_t{-5});
    bag.Write(L"Ratio", 2.0);
    rt::PropertyBag back = rt::PropertyBag::Parse(bag.Serialize());
    EXPECT_EQ(back.ReadString(L"Caption", L""), L"a \"quoted\" \\ line\nnext");
    EXPECT_FALSE(back.ReadBool(L"Enabled", true));
    EXPECT_EQ(back.ReadInt(L"Min", 0), -5);
    EXPECT_DOUBLE_EQ(std::get<double>(back.Read(L"Ratio", 0.0)), 2.0);
}

TEST(PropertyBag, DamagedLinesAreSkipped)
{
    rt::PropertyBag bag = rt::PropertyBag::Parse(
        L"=nothing\nno equals sign\nCaption=\"unterminated\nStyle=99999999999\nMax=100\r\nTail=\"a\\\"");
    EXPECT_EQ(bag.Size(), 1u);
    EXPECT_EQ(bag.ReadInt(L"Max", 0), 100);
}

}  // namespace
