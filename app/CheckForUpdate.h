#pragma once
// The update check against the portal's manifest.

namespace corvane {

enum class UpdateMode { StartUp, OnDemand };

// StartUp returns only when the program goes on; OnDemand may end the program.
void CheckForUpdate(UpdateMode mode);

}  // namespace corvane
