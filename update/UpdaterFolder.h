#pragma once
// Where Update.exe runs from: a folder of its own under the temporary directory, made afresh for
// each update with a random name, so that no file another program left in the temporary
// directory (a DLL the loader would take from beside the program) comes near it.

#include <optional>
#include <string>

namespace corvane {

// The start of every such folder's name (installer/client.nsh removes them by it).
inline constexpr const wchar_t* kUpdaterFolderPrefix = L"corvane-update-";
// Held by a running updater; a second one ends at once.
inline constexpr const wchar_t* kUpdaterMutexName = L"Local\\CorvaneUpdate";

// True while an updater runs in this session.
bool UpdaterRunning();

// A new, empty folder under `tempDir` (ending in "\"), with its trailing "\"; none when no folder
// of a new name could be made.
std::optional<std::wstring> MakeUpdaterFolder(const std::wstring& tempDir);

// Removes, on a thread of its own, the folders of updaters that have ended: an updater is still
// ending when it starts the client, so each is retried for a while.
void RemoveEndedUpdaterFolders(const std::wstring& tempDir);

}  // namespace corvane
