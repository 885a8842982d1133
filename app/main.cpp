// Corvane starts in its splash window; there is no other entry.

#include <windows.h>
#include <ole2.h>

#include "app/LoadFrm.h"
#include "runtime/App.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // The embedded browser and the picture objects need an apartment-threaded OLE thread.
    ::OleInitialize(nullptr);
    int exitCode = 0;
    {
        corvane::LoadFrm splash;
        splash.Show();
        exitCode = rt::App::Run();
    }
    ::OleUninitialize();
    return exitCode;
}
