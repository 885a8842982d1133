// Linked into the test builds of the programs that trust no key (a portal that does not sign
// yet); the library's definition is then never pulled in.
#include "update/UpdateKeys.h"

namespace corvane {

const std::vector<std::string>& TrustedUpdateKeys()
{
    static const std::vector<std::string> none;
    return none;
}

}  // namespace corvane
