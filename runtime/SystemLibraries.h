#pragma once
// Where the programs find the system's libraries that are not known DLLs: in the system folder
// only. The loader maps known DLLs from there whatever lies beside an executable; any other
// library an executable imported at start would be looked for in the executable's own folder
// first, and a portable copy run from a download folder would load what was planted there.

#include <windows.h>

namespace rt {

// The system library `name` ("wininet.dll") from the system folder, loaded when it is not yet
// and kept for the life of the process, as an import is; nullptr when the system lacks it.
HMODULE SystemLibrary(const wchar_t* name);

}  // namespace rt
