#include <gtest/gtest.h>

#include "runtime/TempDir.h"

namespace {

using namespace std::string_view_literals;

TEST(TempDir, EndsInExactlyOneBackslash)
{
    EXPECT_EQ(corvane::NormalizeTempDir(L"C:\\TEMP\\"), L"C:\\TEMP\\");
    EXPECT_EQ(corvane::NormalizeTempDir(L"C:\\TEMP"), L"C:\\TEMP\\");
    EXPECT_EQ(corvane::NormalizeTempDir(L"C:\\TEMP\\\\\\"), L"C:\\TEMP\\");
    EXPECT_EQ(corvane::NormalizeTempDir(L"C:\\"), L"C:\\");
    EXPECT_EQ(corvane::NormalizeTempDir(L"C:\\Users\\张三\\AppData\\Local\\Temp"),
              L"C:\\Users\\张三\\AppData\\Local\\Temp\\");
}

TEST(TempDir, BufferIsCutAtTheFirstNul)
{
    EXPECT_EQ(corvane::NormalizeTempDir(L"C:\\TEMP\\\0garbage\\"sv), L"C:\\TEMP\\");
    EXPECT_EQ(corvane::NormalizeTempDir(L"C:\\T\0\0\0\0"sv), L"C:\\T\\");
    // Nothing came back: the result still ends in a backslash rather than naming a file.
    EXPECT_EQ(corvane::NormalizeTempDir(L"\0\0"sv), L"\\");
}

}  // namespace
