// The update check's reading of the manifest, from the bytes on disk to the decision.

#include <gtest/gtest.h>

#include "runtime/LineInput.h"
#include "update/UpdateManifest.h"

namespace {

using corvane::ManifestVersion;

// The version the check compares, read from manifest bytes the way the program reads the file.
std::optional<std::wstring> VersionOf(std::string_view bytes)
{
    std::vector<std::wstring> lines;
    for (const auto& line : rt::SplitInputLines(bytes)) lines.emplace_back(line.begin(), line.end());
    return ManifestVersion(lines);
}

bool OffersUpdate(std::string_view bytes)
{
    auto value = VersionOf(bytes);
    return value && *value != corvane::LocalVersionString(1, 1, 0);
}

TEST(LocalVersion, JoinsMajorMinorRevision)
{
    EXPECT_EQ(corvane::LocalVersionString(1, 1, 0), L"1.1.0");
    EXPECT_EQ(corvane::LocalVersionString(10, 0, 305), L"10.0.305");
}

TEST(ManifestVersion, ExamplesAgainstLocal110)
{
    // Current: nothing offered.
    EXPECT_EQ(VersionOf("version=1.1.0\r\n"), L"1.1.0");
    EXPECT_FALSE(OffersUpdate("version=1.1.0\r\n"));
    // Capital V, a colon and a blank: the blank is trimmed, so still current.
    EXPECT_EQ(VersionOf("Version: 1.1.0\r\n"), L"1.1.0");
    EXPECT_FALSE(OffersUpdate("VERSION= 1.1.0  \r\n"));
    // Older or newer alike: any difference is an update.
    EXPECT_TRUE(OffersUpdate("version=1.0.9\r\n"));
    EXPECT_TRUE(OffersUpdate("version=1.2.0"));
    // Letter case of the value counts.
    EXPECT_EQ(VersionOf("version=1.1.0A\r\n"), L"1.1.0A");
    // A trailing tab is not a blank: the value differs.
    EXPECT_EQ(VersionOf("version=1.1.0\t\r\n"), L"1.1.0\t");
    EXPECT_TRUE(OffersUpdate("version=1.1.0\t\r\n"));
}

TEST(ManifestVersion, LineEnds)
{
    // CR LF and a lone CR end lines; the last line needs no end.
    EXPECT_EQ(VersionOf("a|http://h/a.bin\rversion=1.1.0\r"), L"1.1.0");
    EXPECT_EQ(VersionOf("version=1.1.0"), L"1.1.0");
    // LF-only: one long line, compared from its ninth character on.
    const std::string lfOnly = "version=1.1.0\nCorvane.exe|http://h/Corvane.exe\n";
    EXPECT_EQ(VersionOf(lfOnly), L"1.1.0\nCorvane.exe|http://h/Corvane.exe\n");
    EXPECT_TRUE(OffersUpdate(lfOnly));
}

TEST(ManifestVersion, FirstVersionLineOnly)
{
    // File lines before it are skipped; later version lines are not read.
    EXPECT_EQ(VersionOf("a.bin|http://h/a.bin\r\nversion=1.1.0\r\nversion=2.0.0\r\n"), L"1.1.0");
    // A file line naming "version" anywhere counts as the version line.
    EXPECT_EQ(VersionOf("x|http://h/Version.dll\r\nversion=1.1.0\r\n"), L"/h/Version.dll");
    // Without any version line there is nothing to compare.
    EXPECT_EQ(VersionOf("a.bin|http://h/a.bin\r\n"), std::nullopt);
    EXPECT_EQ(VersionOf(""), std::nullopt);
    EXPECT_FALSE(OffersUpdate("<html>not found</html>"));
    // A version line shorter than nine characters names the empty version.
    EXPECT_EQ(VersionOf("version\r\n"), L"");
    EXPECT_TRUE(OffersUpdate("version\r\n"));
}

}  // namespace
