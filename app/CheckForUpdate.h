#pragma once
// The update check against the portal's manifest.

namespace corvane {

enum class UpdateMode { StartUp, OnDemand };

// StartUp returns only when the program goes on; OnDemand may close the main window.
void CheckForUpdate(UpdateMode mode);

}  // namespace corvane
