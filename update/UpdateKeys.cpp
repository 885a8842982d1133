// Alone in its library: a test program that must trust other keys links a definition of its own,
// and this one is then never pulled in. Nothing in a shipped build can change the list.
#include "update/UpdateKeys.h"

#include "update/SignedManifest.h"

#ifndef CORVANE_UPDATE_KEYS
#error "CORVANE_UPDATE_KEYS must name the trusted keys (it may be empty)"
#endif

namespace corvane {

const std::vector<std::string>& TrustedUpdateKeys()
{
    static const std::vector<std::string> keys = ParseKeyList(CORVANE_UPDATE_KEYS);
    return keys;
}

}  // namespace corvane
