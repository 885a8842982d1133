#include "tabstrip/TabError.h"

namespace corvane {

namespace {

// what() is for logs and test output; non-ASCII characters become '?' there, the wide
// description keeps the full text.
std::string Narrow(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

}  // namespace

TabError::TabError(int number, std::wstring description)
    : std::runtime_error(std::to_string(number) + ": " + Narrow(description)),
      m_number(number),
      m_description(std::move(description))
{
}

TabError MakeTabError(TabErrorNumber number)
{
    switch (number) {
    case kErrInvalidCall: return TabError(number, L"Invalid procedure call or argument");
    case kErrSubscriptRange: return TabError(number, L"Subscript out of range");
    case kErrObjectNotSet: return TabError(number, L"Object variable or With block variable not set");
    case kErrDuplicateKey:
        return TabError(number, L"This key is already associated with an element of this collection");
    case kErrPlatformCall: break;
    }
    return TabError(number, L"Platform call failed");
}

}  // namespace corvane
