// The start-up benchmark's second floor: the minimal window importing the same system libraries
// as Corvane.exe, so that the loader maps them all before the entry as it does for Corvane. The
// difference to the minimal window is what those libraries cost; the difference from its entry to
// Corvane's is what Corvane's own image, runtime start and static constructors cost.

#include <windows.h>
#include <bcrypt.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <urlmon.h>
#include <wininet.h>

#include <gdiplus.h>

#include "app/StartupMarks.h"
#include "tools/bench/MinimalWindow.h"

namespace {

// One function of each library, referenced so that the linker keeps the import; never called.
const void* const volatile kImports[] = {
    reinterpret_cast<const void*>(&::RegCloseKey),
    reinterpret_cast<const void*>(&::BCryptCloseAlgorithmProvider),
    reinterpret_cast<const void*>(&::InitCommonControlsEx),
    reinterpret_cast<const void*>(&::GetStockObject),
    reinterpret_cast<const void*>(&Gdiplus::GdiplusShutdown),
    reinterpret_cast<const void*>(&::AlphaBlend),
    reinterpret_cast<const void*>(&::CoUninitialize),
    reinterpret_cast<const void*>(&::SysFreeString),
    reinterpret_cast<const void*>(&::ShellExecuteW),
    reinterpret_cast<const void*>(&::CoInternetSetFeatureEnabled),
    reinterpret_cast<const void*>(&::GetFileVersionInfoSizeW),
    reinterpret_cast<const void*>(&::InternetCloseHandle),
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    corvane::StartupMark("entry");
    RunMinimalWindow(instance);
    return kImports[0] ? 0 : 1;
}
