#pragma once
// The update check against the portal's manifest.

namespace corvane {

enum class UpdateMode { StartUp, OnDemand };

// StartUp returns only when the program goes on (false). OnDemand returns true when the player
// accepted and the updater has started: the caller then ends the program without asking, since
// the updater replaces this very program.
bool CheckForUpdate(UpdateMode mode);

}  // namespace corvane
