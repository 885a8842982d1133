#pragma once
// Putting a downloaded file in place without ever leaving the target missing or half written:
// the download goes to a file of its own beside the target, which replaces the target only once
// it is complete.

#include <windows.h>

#include <string>

namespace corvane {

// A new, empty file with a unique name in the target's directory; empty when none can be made.
std::wstring TempFileBeside(const std::wstring& target);

// Moves `temp` over `target`. While the target is in use (a client that is still exiting) the
// move is retried, with the message loop running, for up to `patienceMs`; then, or on any other
// failure, `temp` is deleted and the target stays as it was.
bool ReplaceWithRetry(const std::wstring& temp, const std::wstring& target, DWORD patienceMs);

}  // namespace corvane
