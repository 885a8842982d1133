#pragma once
// The public keys this build trusts for update manifests, fixed when it is built. A build that
// trusts none acts on unsigned manifests, for a portal that does not sign yet.

#include <string>
#include <vector>

namespace corvane {

const std::vector<std::string>& TrustedUpdateKeys();

}  // namespace corvane
