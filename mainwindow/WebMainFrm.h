#pragma once
// The main game window: the game pages in tabs, the caption strip and its commands.
// The login window reaches it only through SetURL and Show; a later launch of the client through the offer it makes in ClientFront.
//
// Lifetime: the one object is created on first use and lives until its unload has completed;
// from then on IfExists answers nullptr and the object is deleted as soon as the call that
// unloaded it has returned to a message loop (or when the program ends). Its tray icon goes
// when its window goes, and with its hot key when App::End ends the program without unloading.

#include <windows.h>

#include <bitset>
#include <memory>
#include <string>

#include "app/ClientFront.h"
#include "browser/WebView.h"
#include "controls/BForm.h"
#include "controls/cSetStyle.h"
#include "controls/iButton.h"
#include "mainwindow/CKvNotifyIcon.h"
#include "mainwindow/DdeServer.h"
#include "mainwindow/StripToolTip.h"
#include "runtime/App.h"
#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "runtime/MessageFilter.h"
#include "runtime/PictureBox.h"
#include "runtime/PopupMenu.h"
#include "tabstrip/TabKeys.h"
#include "tabstrip/uTab.h"

namespace corvane {

class WebMainFrm : public rt::Form {
public:
    // The one main window, created (not loaded) on first use.
    static WebMainFrm& Instance();
    // The main window when it exists, else nullptr; asking never creates it.
    static WebMainFrm* IfExists();

    ~WebMainFrm() override;

    // Opens strURL as a game page (loading the window first when needed); one that is not a web
    // address (IsGameUrl), or one more than kMaxGamePages, opens nothing and is logged.
    void SetURL(const std::wstring& strURL);

    // A rounded region for window hWnd: right edge Top, bottom edge Buttom, corner ellipse X by Y
    // (pixels). The window owns the region afterwards.
    static void RectRgn(HWND hWnd, short Top, short Buttom, short X, short Y);

    // While true, closing the window needs no confirmation.
    bool m_bExit = false;

    // The menu's "更新": the update check on demand; when the player accepts, the updater
    // starts and the program ends without asking.
    void Update_Click();

    // The DDE topic of the main window; the service is the executable's name.
    static constexpr const wchar_t* kDdeTopic = L"CorvaneDDE";

    // The popup menu's items.
    enum MenuItem : UINT {
        kMenuRefresh = 1,
        kMenuHideRestore,
        kMenuClearCache,
        kMenuLine,
        kMenuUpdate,
        kMenuVersion,
        kMenuExit,
    };
    // Runs a menu item's command, as choosing it in the menu does.
    void RunMenuCommand(UINT item);

    // What tests and benchmarks look at.
    uTab& TabStrip() { return WebuTab; }
    rt::PopupMenu& AppMenu() { return appmenu; }
    CKvNotifyIcon* TrayIcon() { return m_tray.get(); }
    const StripToolTip& ToolTip() const { return m_toolTip; }
    // Whether the placeholder still covers the page area (its own flag, whatever the window's).
    bool PlaceholderVisible() const;
    iButton& ToolButton() { return web_tool; }
    iButton& MinButton() { return web_min; }
    iButton& MinMaxButton() { return web_minmax; }
    iButton& CloseButton() { return web_close; }
    iButton& GameSpaceButton() { return GameSpaceBtn; }
    iButton& OtherUserButton() { return OtherUserBtn; }
    BForm& CaptionStrip() { return WebBForm; }
    HWND PageContainer() const { return pCnt.rt::Window::hWnd(); }

protected:
    void OnLoad() override;
    void OnResize() override;
    void OnDpiChanged(int oldDpi, int newDpi) override;
    void OnQueryUnload(bool& cancel, rt::UnloadMode mode) override;
    void OnUnload(bool& cancel) override;
    void OnWindowDestroyed() override;
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    WebMainFrm();

    void CreateControls();
    void LoadLinkPictures(int dpi);
    void LoadCaptionPictures(int dpi);
    void OpenGamePage(const std::wstring& strURL);
    void TakeRefreshKey();
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+1..9 anywhere in the window switch tabs, Ctrl+W and Ctrl+F4
    // close the selected one, and none reaches the page: true when `msg` was such a key (or the
    // release of one).
    bool TabKey(const MSG& msg);
    void LinkExecute(const std::wstring& command);
    void Picture1_Resize();
    void SetArrowCursor();

    // Strip events.
    void WebuTab_OnMouseDown(long itemIndex);
    void WebuTab_OnMouseHover(long itemIndex);
    void WebuTab_OnItemColose(bool& cancel);

    // Commands (WebMainFrmCommands.cpp).
    void ShowAppMenu();
    void web_min_Click();
    void web_minmax_Click();
    void web_close_Click();
    void GameSpaceBtn_Click();
    void OtherUserBtn_Click();
    void KeepLoginPairInFront();
    void Refresh_Click();
    void HideRestore_Click();
    void ClearCache_Click();
    bool m_clearingCache = false;
    void BringBack();

    BForm WebBForm;
    rt::PictureBox PicLogo;
    rt::PictureBox pCnt;
    rt::PictureBox Picture1;
    browser::WebViewPtr WebBrowser1;
    uTab WebuTab;
    iButton web_tool;
    iButton web_min;
    iButton web_minmax;
    iButton web_close;
    iButton GameSpaceBtn;
    iButton OtherUserBtn;
    rt::PopupMenu appmenu;
    StripToolTip m_toolTip;
    DdeServer m_dde;
    // F5 in a game page runs the menu's "刷新"; the tab keys switch tabs.
    rt::MessageFilterRegistration m_refreshKey;
    std::bitset<256> m_tabKeyDown;

    std::unique_ptr<cSetStyle> objStyle;
    std::unique_ptr<CKvNotifyIcon> m_tray;
    rt::EndHook m_endHook;
    FrontOffer m_front;
    rt::Icon m_smallIcon;
    rt::Icon m_bigIcon;
};

}  // namespace corvane
