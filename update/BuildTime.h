#pragma once
// The time of the commit this build was made from, fixed when it is built: manifests issued
// before it are refused (IssuedTime.h).

#include <optional>

#include "update/IssuedTime.h"

namespace corvane {

// nullopt for a build from sources that gave no time (no history and no SOURCE_DATE_EPOCH).
std::optional<UtcSeconds> BuildCommitTime();

}  // namespace corvane
