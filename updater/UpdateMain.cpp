// Update.exe: started by the client with "<installation directory>|<client executable>", it
// replaces the files the manifest lists and starts the client again.

#include <windows.h>
#include <objbase.h>

#include "runtime/App.h"
#include "runtime/Handles.h"
#include "update/UpdaterFolder.h"
#include "updater/UpdateFrm.h"
#include "updater/UpdatePlan.h"

namespace {

// Only System32 is searched for the libraries loaded from here on, never the folder this program
// lies in nor the current one. Looked up at run time: older systems lack the call.
void RestrictLibrarySearch()
{
    constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefault) setDefault(kSearchSystem32);
    ::SetDllDirectoryW(L"");
}

// This thread in a single-threaded apartment for the object's life.
class ComApartment {
public:
    ComApartment() : m_entered(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (m_entered) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool m_entered;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // Before any library is loaded on demand (the pictures' and the network's among them).
    RestrictLibrarySearch();
    const auto command = corvane::ParseUpdaterCommand(rt::App::Command());
    if (!command) return 0;
    // One updater at a time: a second one would fight over the same files.
    ::SetLastError(0);
    rt::KernelHandle instance(::CreateMutexW(nullptr, FALSE, corvane::kUpdaterMutexName));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    // Screen readers reach the window's objects through COM (WM_GETOBJECT): their calls come in
    // through this thread's apartment, between its messages, never on a thread of their own.
    const ComApartment apartment;
    corvane::UpdateFrm form(*command);
    form.Show();
    form.Run();
    return 0;
}
