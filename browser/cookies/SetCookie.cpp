#include "browser/cookies/SetCookie.h"

#include <array>

#include "browser/html/Utf8.h"

namespace browser {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Tabs are the one control character a header may carry; the rest make the whole header suspect.
bool HasControlCharacter(std::string_view text)
{
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
    }
    return false;
}

std::string_view TrimSpaceAndTab(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Between one and `most` digits at the start of `token`, not followed by a further digit.
std::optional<int> LeadingNumber(std::string_view token, std::size_t& pos, std::size_t least, std::size_t most)
{
    const std::size_t start = pos;
    int value = 0;
    while (pos < token.size() && IsDigit(token[pos]) && pos - start < most) value = value * 10 + (token[pos++] - '0');
    if (pos - start < least || (pos < token.size() && IsDigit(token[pos]))) return std::nullopt;
    return value;
}

struct DateParts {
    std::optional<std::array<int, 3>> time;
    std::optional<int> day;
    std::optional<int> month;
    std::optional<int> year;
};

std::optional<std::array<int, 3>> ReadTime(std::string_view token)
{
    std::array<int, 3> hms{};
    std::size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
        if (i > 0 && (pos >= token.size() || token[pos++] != ':')) return std::nullopt;
        const auto field = LeadingNumber(token, pos, 1, 2);
        if (!field) return std::nullopt;
        hms[i] = *field;
    }
    return hms;
}

std::optional<int> ReadMonth(std::string_view token)
{
    static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};
    if (token.size() < 3) return std::nullopt;
    for (int m = 0; m < 12; ++m)
        if (EqualsIgnoreCase(token.substr(0, 3), kMonths[m])) return m + 1;
    return std::nullopt;
}

void ReadDateToken(std::string_view token, DateParts& parts)
{
    std::size_t pos = 0;
    if (!parts.time && (parts.time = ReadTime(token))) return;
    if (!parts.day && (parts.day = LeadingNumber(token, pos, 1, 2))) return;
    if (!parts.month && (parts.month = ReadMonth(token))) return;
    pos = 0;
    if (!parts.year) parts.year = LeadingNumber(token, pos, 2, 4);
}

bool IsDateDelimiter(char ch)
{
    const auto c = static_cast<unsigned char>(ch);
    return c == 0x09 || (c >= 0x20 && c <= 0x2F) || (c >= 0x3B && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0x7E);
}

bool IsLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromEpoch(int year, int month, int day)
{
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<CookieTime> ReadMaxAge(std::string_view value)
{
    if (value.empty() || !(IsDigit(value[0]) || value[0] == '-')) return std::nullopt;
    const bool negative = value[0] == '-';
    if (negative) value.remove_prefix(1);
    if (value.empty()) return std::nullopt;
    CookieTime seconds = 0;
    for (char c : value) {
        if (!IsDigit(c)) return std::nullopt;
        // Beyond the longest life a cookie gets, more digits change nothing.
        if (seconds <= kMaxCookieLifetime) seconds = seconds * 10 + (c - '0');
    }
    if (negative) return 0;
    return seconds < kMaxCookieLifetime ? seconds : kMaxCookieLifetime;
}

std::optional<CookieSameSite> ReadSameSite(std::string_view value)
{
    if (EqualsIgnoreCase(value, "strict")) return CookieSameSite::Strict;
    if (EqualsIgnoreCase(value, "lax")) return CookieSameSite::Lax;
    if (EqualsIgnoreCase(value, "none")) return CookieSameSite::None;
    return std::nullopt;
}

void ReadAttribute(std::string_view name, std::string_view value, SetCookieHeader& cookie)
{
    if (value.size() > kMaxCookieAttributeBytes) return;
    if (EqualsIgnoreCase(name, "expires")) {
        if (const auto when = ParseCookieDate(value)) cookie.expires = when;
    } else if (EqualsIgnoreCase(name, "max-age")) {
        if (const auto seconds = ReadMaxAge(value)) cookie.maxAge = seconds;
    } else if (EqualsIgnoreCase(name, "domain")) {
        if (value.starts_with('.')) value.remove_prefix(1);
        if (!value.empty()) cookie.domain = AsciiLowercase(value);
    } else if (EqualsIgnoreCase(name, "path")) {
        if (value.starts_with('/')) cookie.path = std::string(value);
        else cookie.path.reset();
    } else if (EqualsIgnoreCase(name, "secure")) {
        cookie.secure = true;
    } else if (EqualsIgnoreCase(name, "httponly")) {
        cookie.httpOnly = true;
    } else if (EqualsIgnoreCase(name, "samesite")) {
        cookie.sameSite = ReadSameSite(value).value_or(CookieSameSite::Lax);
    }
}

}  // namespace

std::optional<CookieTime> ParseCookieDate(std::string_view text)
{
    if (text.size() > kMaxCookieAttributeBytes) return std::nullopt;
    DateParts parts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && IsDateDelimiter(text[pos])) ++pos;
        const std::size_t start = pos;
        while (pos < text.size() && !IsDateDelimiter(text[pos])) ++pos;
        if (pos > start) ReadDateToken(text.substr(start, pos - start), parts);
    }
    if (!parts.time || !parts.day || !parts.month || !parts.year) return std::nullopt;
    int year = *parts.year;
    if (year >= 70 && year <= 99) year += 1900;
    else if (year >= 0 && year <= 69) year += 2000;
    const auto [hour, minute, second] = *parts.time;
    if (year < 1601 || *parts.day < 1 || *parts.day > DaysInMonth(year, *parts.month) || hour > 23 || minute > 59 ||
        second > 59)
        return std::nullopt;
    return DaysFromEpoch(year, *parts.month, *parts.day) * 86400 + hour * 3600 + minute * 60 + second;
}

std::optional<SetCookieHeader> ParseSetCookie(std::string_view header)
{
    if (HasControlCharacter(header)) return std::nullopt;
    const std::size_t semicolon = header.find(';');
    const std::string_view pair = header.substr(0, semicolon);
    SetCookieHeader cookie;
    if (const auto equals = pair.find('='); equals == std::string_view::npos) {
        cookie.value = std::string(TrimSpaceAndTab(pair));
    } else {
        cookie.name = std::string(TrimSpaceAndTab(pair.substr(0, equals)));
        cookie.value = std::string(TrimSpaceAndTab(pair.substr(equals + 1)));
    }
    if ((cookie.name.empty() && cookie.value.empty()) || cookie.name.size() + cookie.value.size() > kMaxCookieBytes)
        return std::nullopt;
    std::size_t pos = semicolon;
    while (pos != std::string_view::npos) {
        const std::size_t next = header.find(';', pos + 1);
        const std::string_view attribute = header.substr(pos + 1, next == std::string_view::npos ? next : next - pos - 1);
        const std::size_t equals = attribute.find('=');
        const std::string_view value = equals == std::string_view::npos ? std::string_view{} : attribute.substr(equals + 1);
        ReadAttribute(TrimSpaceAndTab(attribute.substr(0, equals)), TrimSpaceAndTab(value), cookie);
        pos = next;
    }
    return cookie;
}

}  // namespace browser
