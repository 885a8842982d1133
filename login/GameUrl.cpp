#include "login/GameUrl.h"

namespace corvane {

namespace {

wchar_t Lower(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool StartsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Lower(text[i]) != prefix[i]) return false;
    return true;
}

// Control characters, and the invisible ones that make an address read differently from what it
// is (zero-width, direction overrides, line separators, the byte-order mark).
bool Hidden(wchar_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) ||
           (c >= 0x2060 && c <= 0x206F) || c == 0xFEFF || c == 0xFFF9 || c == 0xFFFA || c == 0xFFFB;
}

bool Digit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool NameChar(wchar_t c)
{
    if (c >= 0x80) return c != 0x3000 && c != 0x00A0 && c != 0xFF0F && c != 0xFF20;  // no wide "/", "@" or blanks
    return Digit(c) || (Lower(c) >= L'a' && Lower(c) <= L'z') || c == L'-' || c == L'_' || c == L'.';
}

bool ValidPort(std::wstring_view port)
{
    if (port.empty() || port.size() > 5) return false;
    unsigned value = 0;
    for (wchar_t c : port) {
        if (!Digit(c)) return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    return value >= 1 && value <= 65535;
}

bool ValidHost(std::wstring_view host)
{
    if (host.empty()) return false;
    if (host.front() == L'[') {
        if (host.size() < 3 || host.back() != L']') return false;
        for (wchar_t c : host.substr(1, host.size() - 2))
            if (!Digit(c) && !(Lower(c) >= L'a' && Lower(c) <= L'f') && c != L':' && c != L'.') return false;
        return true;
    }
    bool letterOrDigit = false;
    for (wchar_t c : host) {
        if (!NameChar(c)) return false;
        letterOrDigit |= c != L'.' && c != L'-' && c != L'_';
    }
    return letterOrDigit;
}

}  // namespace

bool IsGameUrl(std::wstring_view url)
{
    if (url.size() > kMaxGameUrlLength) return false;
    for (wchar_t c : url)
        if (Hidden(c)) return false;
    std::size_t start = 0;
    if (StartsWithIgnoringCase(url, L"http://"))
        start = 7;
    else if (StartsWithIgnoringCase(url, L"https://"))
        start = 8;
    else
        return false;
    // The authority ends where the path, query or fragment begins. A "\" there is a path
    // separator to some browsers and part of the host to others: an address read two ways is
    // refused.
    const std::size_t end = url.find_first_of(L"/?#", start);
    const std::wstring_view authority = url.substr(start, end == std::wstring_view::npos ? end : end - start);
    if (authority.find_first_of(L"@\\ %") != std::wstring_view::npos) return false;
    std::wstring_view host = authority;
    const std::size_t colon = authority.rfind(L':');
    if (colon != std::wstring_view::npos && authority.find(L']', colon) == std::wstring_view::npos) {
        if (!ValidPort(authority.substr(colon + 1))) return false;
        host = authority.substr(0, colon);
    }
    return ValidHost(host);
}

}  // namespace corvane
