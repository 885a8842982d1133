// mainwindow-host URL [REPORT]: the main window alone in a process of its own, opened on URL as
// the login window opens it (SetURL, then Show), until it is closed. The whole-program tests
// drive it from outside; its DDE service is its executable's name.
//
// With REPORT, the program ends suddenly two seconds after the window shows (App::End, as a fatal
// message ends it) and writes to the file REPORT what the process still held at its very last
// moment: the tray icon and the hot key. The work the main window registers runs before that
// look, as it is registered later.

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>

#include "mainwindow/WebMainFrm.h"
#include "runtime/App.h"

namespace {

void ReportWhatIsStillHeld(const wchar_t* path)
{
    bool trayIcon = false;
    if (corvane::WebMainFrm* frm = corvane::WebMainFrm::IfExists()) {
        NOTIFYICONDATAW probe{};
        probe.cbSize = NOTIFYICONDATAW_V2_SIZE;
        probe.hWnd = frm->hWnd();
        probe.uID = corvane::CKvNotifyIcon::kIconId;
        probe.uFlags = NIF_TIP;
        trayIcon = ::Shell_NotifyIconW(NIM_MODIFY, &probe) != FALSE;
    }
    const bool hotKey = !::RegisterHotKey(nullptr, 1000, 0, VK_F10);
    if (FILE* f = _wfopen(path, L"wb")) {
        std::fprintf(f, "tray icon %s\nF10 %s\n", trayIcon ? "held" : "gone", hotKey ? "held" : "free");
        std::fclose(f);
    }
}

void CALLBACK EndSuddenly(HWND, UINT, UINT_PTR, DWORD)
{
    rt::App::End();
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 2;
    ::OleInitialize(nullptr);
    int exitCode = 0;
    {
        rt::EndHook report;
        if (argc > 2) report = rt::App::AtEnd([path = argv[2]] { ReportWhatIsStillHeld(path); });
        corvane::WebMainFrm& frm = corvane::WebMainFrm::Instance();
        frm.SetURL(argv[1]);
        frm.Show();
        if (argc > 2) ::SetTimer(nullptr, 0, 2000, EndSuddenly);
        exitCode = rt::App::Run();
    }
    ::OleUninitialize();
    return exitCode;
}
