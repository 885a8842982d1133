#include <gtest/gtest.h>

#include "runtime/LineInput.h"

namespace {

using Lines = std::vector<std::string>;

TEST(LineInput, CrLfAndLoneCrEndLines)
{
    EXPECT_EQ(rt::SplitInputLines("version=1.1.0\r\na|http://x/a\r\n"), (Lines{"version=1.1.0", "a|http://x/a"}));
    EXPECT_EQ(rt::SplitInputLines("one\rtwo\rthree"), (Lines{"one", "two", "three"}));
    EXPECT_EQ(rt::SplitInputLines("last line without end"), (Lines{"last line without end"}));
}

TEST(LineInput, BareLfStaysInsideTheLine)
{
    // A manifest with Unix line ends is one long line.
    EXPECT_EQ(rt::SplitInputLines("version=1.1.0\na|b\n"), (Lines{"version=1.1.0\na|b\n"}));
    EXPECT_EQ(rt::SplitInputLines("a\n\r\nb"), (Lines{"a\n", "b"}));
}

TEST(LineInput, EmptyLinesAndEmptyInput)
{
    EXPECT_TRUE(rt::SplitInputLines("").empty());
    EXPECT_EQ(rt::SplitInputLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(rt::SplitInputLines("\r\r\n"), (Lines{"", ""}));
    EXPECT_EQ(rt::SplitInputLines(std::string_view("a\0b\r\n", 5)), (Lines{std::string("a\0b", 3)}));
}

}  // namespace
