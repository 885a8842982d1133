// The start-up benchmark's per-library split: the minimal window that first loads, one at a time
// and with a mark after each, the libraries Corvane.exe imports beyond the minimal window's. A
// library's share includes the libraries it brings in that no earlier one did.

#include <windows.h>

#include <string>

#include "app/StartupMarks.h"
#include "tools/bench/MinimalWindow.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    corvane::StartupMark("entry");
    // The loader's order for Corvane.exe's import table.
    for (const char* name : {"ADVAPI32", "bcrypt", "COMCTL32", "GDI32", "gdiplus", "MSIMG32", "ole32", "OLEAUT32", "SHELL32",
                             "urlmon", "VERSION", "WININET"}) {
        ::LoadLibraryA(name);  // kept loaded for the process's life, as an import is
        corvane::StartupMark(("load " + std::string(name)).c_str());
    }
    return RunMinimalWindow(instance);
}
