#pragma once
// When a signed manifest was issued, and the rule that keeps an old one from being replayed. A
// signed manifest carries exactly one line, covered by its signature,
//
//     issued=YYYY-MM-DDTHH:MM:SSZ
//
// the UTC time it was signed. Every build knows the time of the commit it was made from; a
// manifest issued before that time was meant for older builds, and whoever kept it could put
// players back on a vulnerable version with it (any other version counts as an update). An
// operator who rolls back on purpose signs the old manifest afresh. The player's own clock plays
// no part. The line is neither a version line nor a file line.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Seconds since 1970-01-01T00:00:00Z.
using UtcSeconds = std::int64_t;

// A line that starts with "issued=" (exact case), well formed or not.
bool IsIssuedLine(std::string_view lineText);

// "YYYY-MM-DDTHH:MM:SSZ" exactly: a year from 1970 to 9999, a day that its month has, hours 00 to
// 23, minutes and seconds 00 to 59; nothing before or after. nullopt for anything else.
std::optional<UtcSeconds> ParseUtcTime(std::string_view text);

enum class IssuedVerdict {
    Fresh,      // one well-formed line, issued at or after the build's commit
    Missing,    // no issued line
    Malformed,  // two or more, or a value not in the exact form
    Replayed,   // issued before the build's commit
};

// Judges the lines of a verified manifest as they read (signature line removed). A build that
// knows no commit time (`builtAt` empty: sources without a history) still needs the line, but
// refuses nothing by its time.
IssuedVerdict JudgeIssued(const std::vector<std::string>& lines, std::optional<UtcSeconds> builtAt);

}  // namespace corvane
