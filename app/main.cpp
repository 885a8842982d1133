// Corvane starts in its splash window; there is no other entry.

#include <windows.h>
#include <ole2.h>

#include <memory>

#include "app/LoadFrm.h"
#include "app/SessionClient.h"
#include "app/StartupMarks.h"
#include "login/LoginFrm.h"
#include "runtime/App.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    corvane::StartupMark("entry");
    // Before the connection test and the splash: a later launch brings the running client back
    // instead. "/web" only opens the home page, so it neither waits for nor blocks a client.
    std::unique_ptr<corvane::SessionClient> client;
    if (!corvane::IsWebSwitch(rt::App::Command())) {
        client = corvane::SessionClient::Claim();
        if (!client) return 0;
    }
    corvane::StartupMark("session claimed");
    // The embedded browser and the picture objects need an apartment-threaded OLE thread.
    ::OleInitialize(nullptr);
    corvane::StartupMark("ole initialised");
    int exitCode = 0;
    {
        corvane::LoadFrm splash([] { corvane::LoginFrm::Instance().Load(); });
        splash.Show();
        exitCode = rt::App::Run();
    }
    // The last window has gone: the updater's restart or the player's next launch may start
    // the next client while this process is still tidying up.
    if (client) client->Release();
    ::OleUninitialize();
    return exitCode;
}
