// mainwindow-host URL: the main window alone in a process of its own, opened on URL as the
// login window opens it (SetURL, then Show), until it is closed. The whole-program tests drive
// it from outside; its DDE service is its executable's name.

#include <windows.h>
#include <ole2.h>

#include "mainwindow/WebMainFrm.h"
#include "runtime/App.h"

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    ::OleInitialize(nullptr);
    int exitCode = 0;
    {
        corvane::WebMainFrm& frm = corvane::WebMainFrm::Instance();
        frm.SetURL(argv[1]);
        frm.Show();
        exitCode = rt::App::Run();
    }
    ::OleUninitialize();
    return exitCode;
}
