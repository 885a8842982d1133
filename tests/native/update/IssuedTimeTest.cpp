// The issued= line of a signed manifest: its one exact form, and the rule that refuses a manifest
// issued before the build's commit (a replayed one).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "update/IssuedTime.h"

namespace {

using namespace corvane;

TEST(IssuedTime, ExactFormOnly)
{
    const struct {
        const char* text;
        std::optional<UtcSeconds> seconds;
    } cases[] = {
        {"1970-01-01T00:00:00Z", 0},
        {"2026-12-08T19:54:56Z", 1796759696},  // as git log --format=%ct gives it
        {"2000-02-29T12:00:00Z", 951825600},   // a leap day of a century divisible by 400
        {"2024-02-29T23:59:59Z", 1709251199},
        {"9999-12-31T23:59:59Z", 253402300799},
        {"2100-02-29T00:00:00Z", std::nullopt},  // 2100 is no leap year
        {"2026-04-31T00:00:00Z", std::nullopt},
        {"2026-00-10T00:00:00Z", std::nullopt},
        {"2026-13-01T00:00:00Z", std::nullopt},
        {"2026-12-00T00:00:00Z", std::nullopt},
        {"2026-12-08T24:00:00Z", std::nullopt},
        {"2026-12-08T23:60:00Z", std::nullopt},
        {"2026-12-08T23:59:60Z", std::nullopt},  // no leap seconds: signers never write one
        {"1969-12-31T23:59:59Z", std::nullopt},
        {"2026-12-08T19:54:56", std::nullopt},
        {"2026-12-08T19:54:56z", std::nullopt},
        {"2026-12-08t19:54:56Z", std::nullopt},
        {"2026-12-08 19:54:56Z", std::nullopt},
        {"2026-12-08T19:54:56+00:00", std::nullopt},
        {"2026-12-08T19:54:56.000Z", std::nullopt},
        {"2026-12-8T19:54:56Z", std::nullopt},
        {" 2026-12-08T19:54:56Z", std::nullopt},
        {"2026-12-08T19:54:56Z ", std::nullopt},
        {"2026-12-08T19:54:56Z\n", std::nullopt},
        {"+026-12-08T19:54:56Z", std::nullopt},
        {"2026-12-08T19:-4:56Z", std::nullopt},
        {"2026/12/08T19:54:56Z", std::nullopt},
        {"\xa3\xb2\xa3\xb0-12-08T19:54:56Z", std::nullopt},  // full-width digits in GBK
        {"", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseUtcTime(c.text), c.seconds) << c.text;
}

TEST(IssuedTime, ReplayRule)
{
    const UtcSeconds built = 1796759696;  // 2026-12-08T19:54:56Z
    const std::string at = "issued=2026-12-08T19:54:56Z";
    const struct {
        const char* name;
        std::vector<std::string> lines;
        std::optional<UtcSeconds> builtAt;
        IssuedVerdict verdict;
    } cases[] = {
        {"issued as the commit was made", {"version=1.2.0", at, "a|u/a|h"}, built, IssuedVerdict::Fresh},
        {"issued later", {"version=1.2.0", "issued=2027-01-01T00:00:00Z"}, built, IssuedVerdict::Fresh},
        {"first line", {at, "version=1.2.0"}, built, IssuedVerdict::Fresh},
        {"last line", {"version=1.2.0", "a|u/a|h", at}, built, IssuedVerdict::Fresh},
        {"a second earlier", {"version=1.2.0", "issued=2026-12-08T19:54:55Z"}, built, IssuedVerdict::Replayed},
        {"years earlier", {"version=1.0.9", "issued=2001-01-01T00:00:00Z"}, built, IssuedVerdict::Replayed},
        {"none", {"version=1.2.0", "a|u/a|h"}, built, IssuedVerdict::Missing},
        {"empty manifest", {}, built, IssuedVerdict::Missing},
        {"key in another case is a plain line", {"Issued=2027-01-01T00:00:00Z"}, built, IssuedVerdict::Missing},
        {"key after a blank is a plain line", {" issued=2027-01-01T00:00:00Z"}, built, IssuedVerdict::Missing},
        {"two, even equal", {at, at}, built, IssuedVerdict::Malformed},
        {"two, one fresh", {"issued=2001-01-01T00:00:00Z", at}, built, IssuedVerdict::Malformed},
        {"empty value", {"issued="}, built, IssuedVerdict::Malformed},
        {"trailing blank", {at + " "}, built, IssuedVerdict::Malformed},
        {"a file line behind it", {at + "|http://h/Corvane.exe|h"}, built, IssuedVerdict::Malformed},
        // Sources without a commit time: the line is still needed, its time is not judged.
        {"no build time, old", {"issued=2001-01-01T00:00:00Z"}, std::nullopt, IssuedVerdict::Fresh},
        {"no build time, none", {"version=1.2.0"}, std::nullopt, IssuedVerdict::Missing},
        {"no build time, malformed", {"issued=yesterday"}, std::nullopt, IssuedVerdict::Malformed},
    };
    for (const auto& c : cases) EXPECT_EQ(JudgeIssued(c.lines, c.builtAt), c.verdict) << c.name;
}

}  // namespace
