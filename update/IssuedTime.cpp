#include "update/IssuedTime.h"

namespace corvane {

namespace {

constexpr std::string_view kIssuedKey = "issued=";

// The digits text[at, at + count) as a number; -1 when one of them is not a digit.
int Digits(std::string_view text, std::size_t at, std::size_t count)
{
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the date, in the proleptic Gregorian calendar (years from 1970).
std::int64_t DaysSinceEpoch(int year, int month, int day)
{
    std::int64_t days = 0;
    for (int y = 1970; y < year; ++y) days += IsLeapYear(y) ? 366 : 365;
    for (int m = 1; m < month; ++m) days += DaysInMonth(year, m);
    return days + day - 1;
}

}  // namespace

bool IsIssuedLine(std::string_view lineText)
{
    return lineText.starts_with(kIssuedKey);
}

std::optional<UtcSeconds> ParseUtcTime(std::string_view text)
{
    // Digits where the shape has "0", the other characters as they stand.
    static constexpr std::string_view shape = "0000-00-00T00:00:00Z";
    if (text.size() != shape.size()) return std::nullopt;
    for (std::size_t i = 0; i < shape.size(); ++i)
        if (shape[i] != '0' && text[i] != shape[i]) return std::nullopt;
    const int year = Digits(text, 0, 4);
    const int month = Digits(text, 5, 2);
    const int day = Digits(text, 8, 2);
    const int hour = Digits(text, 11, 2);
    const int minute = Digits(text, 14, 2);
    const int second = Digits(text, 17, 2);
    if (year < 1970 || month < 1 || month > 12 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59)
        return std::nullopt;
    if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
    return DaysSinceEpoch(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

IssuedVerdict JudgeIssued(const std::vector<std::string>& lines, std::optional<UtcSeconds> builtAt)
{
    std::optional<std::string_view> value;
    for (const std::string& line : lines) {
        if (!IsIssuedLine(line)) continue;
        if (value) return IssuedVerdict::Malformed;
        value = std::string_view(line).substr(kIssuedKey.size());
    }
    if (!value) return IssuedVerdict::Missing;
    const auto issued = ParseUtcTime(*value);
    if (!issued) return IssuedVerdict::Malformed;
    if (builtAt && *issued < *builtAt) return IssuedVerdict::Replayed;
    return IssuedVerdict::Fresh;
}

}  // namespace corvane
