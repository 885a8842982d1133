// The main window's commands: the popup menu, the caption buttons, the two buttons beside the
// tab strip. F10 and the tray icon reach them through ModMsg.

#include <windows.h>
#include <shellapi.h>

#include "app/CheckForUpdate.h"
#include "app/Endpoints.h"
#include "login/LoginBgFrm.h"
#include "login/LoginFrm.h"
#include "mainwindow/CacheMain.h"
#include "mainwindow/ModMsg.h"
#include "mainwindow/ReaderNames.h"
#include "mainwindow/WebMainFrm.h"
#include "runtime/App.h"
#include "runtime/MessageBox.h"
#include "tabstrip/TabError.h"

namespace corvane {

void WebMainFrm::ShowAppMenu()
{
    const UINT chosen = appmenu.Show(hWnd());
    if (chosen) RunMenuCommand(chosen);
}

void WebMainFrm::RunMenuCommand(UINT item)
{
    switch (item) {
    case kMenuRefresh: Refresh_Click(); break;
    case kMenuHideRestore: HideRestore_Click(); break;
    case kMenuClearCache: ClearCache_Click(); break;
    case kMenuUpdate: Update_Click(); break;
    case kMenuExit: web_close_Click(); break;
    default: break;  // the separator and the version line do nothing
    }
}

void WebMainFrm::web_min_Click()
{
    // Hidden, not minimised: the taskbar button goes too; the tray icon and F10 bring it back.
    SetVisible(false);
}

void WebMainFrm::web_minmax_Click()
{
    if (!objStyle) return;
    const bool maximized = objStyle->CallWindowStateChange();
    web_minmax.SetAccessibleName(MinMaxButtonName(maximized));
    // A maximised window cannot be dragged by its caption strip.
    WebBForm.SetfrmHwnd(maximized ? nullptr : hWnd());
}

void WebMainFrm::web_close_Click()
{
    Unload();
}

void WebMainFrm::HideRestore_Click()
{
    ModMsg::ToggleWindow(hWnd());
}

void WebMainFrm::Refresh_Click()
{
    if (PlaceholderVisible()) {
        if (WebBrowser1) WebBrowser1->Refresh();
        return;
    }
    try {
        WebuTab.RefreshPage();
    } catch (const TabError& e) {
        rt::App::LogEvent(L"WebMainFrm.Refresh_Click: " + e.description());
    }
}

void WebMainFrm::ClearCache_Click()
{
    // "清除缓存" again while the walk runs starts nothing.
    if (m_clearingCache) return;
    m_clearingCache = true;
    const rt::Liveness::Watch watch = Life().Observe();
    const bool complete = CacheMain::ClearUrlCache("*.*", kKeepCookiesAndHistory);
    // The window may have been closed meanwhile; then nobody is left to tell.
    if (!watch.Alive()) return;
    m_clearingCache = false;
    if (!IsLoaded()) return;
    if (complete)
        rt::MsgBox(L"缓存已清理完毕！", rt::kMsgInformation, rt::kCacheTitle);
    else
        rt::MsgBox(L"缓存未能全部清理，请稍后再试！", rt::kMsgExclamation, rt::kCacheTitle);
}

void WebMainFrm::Update_Click()
{
    if (!CheckForUpdate(UpdateMode::OnDemand)) return;
    // The updater replaces this very program: leaving asks nothing, and no window of it may keep
    // it running, a further login's pair included. Nothing of this object is touched after its
    // unload.
    m_bExit = true;
    Unload();
    if (auto* background = LoginBgFrm::IfExists()) background->Unload();
    if (rt::App::LoadedForms() != 0) rt::App::End();
}

void WebMainFrm::BringBack()
{
    // Hidden by F10, the tray icon or the hide button, minimised from the taskbar, or both.
    if (::IsIconic(hWnd()))
        ::ShowWindow(hWnd(), SW_RESTORE);
    else if (!Visible())
        ::ShowWindow(hWnd(), SW_SHOW);
    ::SetForegroundWindow(hWnd());
}

void WebMainFrm::GameSpaceBtn_Click()
{
    ::ShellExecuteW(nullptr, L"open", CurrentEndpoints().homePage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void WebMainFrm::OtherUserBtn_Click()
{
    LoginFrm& login = LoginFrm::Instance();
    // A pair already open, perhaps minimised or under this window, is the one the player wants.
    if (login.IsLoaded()) {
        login.BringPairBack();
        return;
    }
    // Shown when its page has come, as at the first login: the browser has nothing to paint
    // before, and would show a blank box where the picture belongs.
    login.Load();
}

void WebMainFrm::KeepLoginPairInFront()
{
    // The further login stays above the game while it is open. Brought forward, not owned by
    // this window: an owned pair would go down whenever the game is minimised, and Windows hides
    // only the windows that a minimised owner owns itself, so the login window, owned by the
    // background, would stay on the screen alone.
    LoginBgFrm* background = LoginBgFrm::IfExists();
    if (!background || !background->IsLoaded() || !background->Visible() || ::IsIconic(background->hWnd())) return;
    constexpr UINT kFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    ::SetWindowPos(background->hWnd(), HWND_TOP, 0, 0, 0, 0, kFlags);
    LoginFrm* login = LoginFrm::IfExists();
    if (login && login->IsLoaded() && login->Visible()) ::SetWindowPos(login->hWnd(), HWND_TOP, 0, 0, 0, 0, kFlags);
}

}  // namespace corvane
