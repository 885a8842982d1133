#pragma once
// One Set-Cookie header read the way today's browsers read it: the name and value before the
// first ";", then attributes of which unknown ones are ignored and the last of a kind wins. What
// a server sends is untrusted: a header with control characters or a cookie over its size is
// refused whole, an attribute over its size or of a malformed value is ignored, and nothing here
// costs more than a pass over the header.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace browser {

// Seconds since 1970-01-01T00:00:00Z. The jar is handed the time; it reads no clock.
using CookieTime = std::int64_t;

// Name and value of one cookie together, in bytes.
inline constexpr std::size_t kMaxCookieBytes = 4096;
// An attribute's value (a domain, a path, a date) longer than this is ignored.
inline constexpr std::size_t kMaxCookieAttributeBytes = 1024;
// No cookie lives longer than 400 days from when it was set, however far its Expires or Max-Age
// lies, as today's browsers keep them.
inline constexpr CookieTime kMaxCookieLifetime = 400 * 86400;

// A cookie without the attribute, or with a value browsers do not know, is Lax.
enum class CookieSameSite { Strict, Lax, None };

struct SetCookieHeader {
    std::string name{};  // may be empty: "Set-Cookie: token" is a cookie of that value and no name
    std::string value{};
    std::optional<std::string> domain{};  // lower case, without a leading dot; never empty
    std::optional<std::string> path{};    // starts with "/"; others leave the default path
    std::optional<CookieTime> expires{};
    std::optional<CookieTime> maxAge{};   // seconds from when it is set, 0 to kMaxCookieLifetime; 0 deletes
    bool secure = false;
    bool httpOnly = false;
    CookieSameSite sameSite = CookieSameSite::Lax;

    bool operator==(const SetCookieHeader&) const = default;
};

// nullopt when the header makes no cookie at all.
std::optional<SetCookieHeader> ParseSetCookie(std::string_view header);

// The dates cookies carry: the IMF form ("Sun, 06 Nov 1994 08:49:37 GMT") and what servers send
// instead (dashes, two-digit years, the asctime order, missing weekdays), read as browsers read
// them: a time, a day, a month and a year found among the words in any order. Years 70 to 99 are
// 19xx, 0 to 69 20xx; a year before 1601, or a day its month lacks, fails.
std::optional<CookieTime> ParseCookieDate(std::string_view text);

}  // namespace browser
