#pragma once
// Failures of the tab strip reach their caller as one exception type that carries the form
// runtime's error number, so a host can tell "no such position" from "key already in use".

#include <stdexcept>
#include <string>

namespace corvane {

// The runtime's error numbers the tab strip raises.
enum TabErrorNumber : int {
    kErrInvalidCall = 5,       // invalid procedure call or argument (also: key not in the list)
    kErrSubscriptRange = 9,    // subscript out of range
    kErrObjectNotSet = 91,     // object variable not set
    kErrDuplicateKey = 457,    // key already associated with an element of the list
    kErrPlatformCall = 1000,   // a platform call of the drawing routines failed
};

class TabError : public std::runtime_error {
public:
    TabError(int number, std::wstring description);

    int number() const { return m_number; }
    const std::wstring& description() const { return m_description; }

private:
    int m_number;
    std::wstring m_description;
};

// The runtime's own texts for the numbers above.
TabError MakeTabError(TabErrorNumber number);

}  // namespace corvane
