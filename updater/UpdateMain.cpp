// Update.exe: started by the client with "<installation directory>|<client executable>", it
// replaces the files the manifest lists and starts the client again.

#include <windows.h>

#include "runtime/App.h"
#include "runtime/Handles.h"
#include "updater/UpdateFrm.h"
#include "updater/UpdatePlan.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const auto command = corvane::ParseUpdaterCommand(rt::App::Command());
    if (!command) return 0;
    // One updater at a time: a second one would fight over the same files.
    ::SetLastError(0);
    rt::KernelHandle instance(::CreateMutexW(nullptr, FALSE, L"Local\\CorvaneUpdate"));
    if (::GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    corvane::UpdateFrm form(*command);
    form.Show();
    form.Run();
    return 0;
}
