#include "mainwindow/WebMainFrm.h"

#include "app/PublicData.h"
#include "login/GameUrl.h"
#include "login/LoginBgFrm.h"
#include "mainwindow/GamePageLimits.h"
#include "mainwindow/ReaderNames.h"
#include "mainwindow/MainLayout.h"
#include "mainwindow/ModMsg.h"
#include "mainwindow/MsgFrm.h"
#include "mainwindow/WebUrl.h"
#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/DpiScale.h"
#include "runtime/Resources.h"
#include "runtime/Screen.h"
#include "runtime/WorkArea.h"
#include "tabstrip/CTabItem.h"

namespace corvane {

namespace {

constexpr DWORD kCaptionBackColor = 0x00DEDEDE;
constexpr DWORD kWhite = 0x00FFFFFF;
constexpr long kBrowserOverhang = 30;  // twips: hides the placeholder browser's border
constexpr UINT kLoginPairInFrontMessage = WM_APP + 0x49;
constexpr UINT kCloseTabMessage = WM_APP + 0x4A;
const wchar_t* const kTrayTip = L"LumoraVeldan客户端";

std::unique_ptr<WebMainFrm>& TheMainWindow()
{
    static std::unique_ptr<WebMainFrm> frm;
    return frm;
}

// A main window whose unload has completed waits here until the call that unloaded it has
// returned to a message loop: its controls may still be on the stack below that call.
std::unique_ptr<WebMainFrm>& UnloadedMainWindow()
{
    static std::unique_ptr<WebMainFrm> frm;
    return frm;
}

void CALLBACK ReleaseUnloaded(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    UnloadedMainWindow().reset();
}

rt::FormDesign MainDesign()
{
    rt::FormDesign d;
    d.className = L"WebMainFrm";
    d.caption = L"Lumora客户端";
    d.clientWidth = kMainClientWidth;
    d.clientHeight = kMainClientHeight;
    d.startUp = rt::StartUpPosition::CenterScreen;
    d.backColor = kWhite;
    return d;
}

}  // namespace

WebMainFrm& WebMainFrm::Instance()
{
    auto& frm = TheMainWindow();
    if (!frm) frm.reset(new WebMainFrm());
    return *frm;
}

WebMainFrm* WebMainFrm::IfExists()
{
    return TheMainWindow().get();
}

WebMainFrm::WebMainFrm() : rt::Form(MainDesign()) {}

WebMainFrm::~WebMainFrm()
{
    m_tray.reset();
    WebBrowser1.reset();
}

void WebMainFrm::RectRgn(HWND hWnd, short Top, short Buttom, short X, short Y)
{
    HRGN region = ::CreateRoundRectRgn(0, 0, Top, Buttom, X, Y);
    // On success the window owns the region; otherwise it is ours to delete.
    if (region && !::SetWindowRgn(hWnd, region, TRUE)) ::DeleteObject(region);
}

bool WebMainFrm::PlaceholderVisible() const
{
    HWND placeholder = Picture1.rt::Window::hWnd();
    return placeholder && (::GetWindowLongW(placeholder, GWL_STYLE) & WS_VISIBLE) != 0;
}

void WebMainFrm::SetURL(const std::wstring& strURL)
{
    Load();
    if (IsLoaded()) OpenGamePage(strURL);
}

void WebMainFrm::CreateControls()
{
    HWND self = hWnd();
    pCnt.Create(self, 0, 0, 0, 0);
    pCnt.SetBackColor(kWhite);
    Picture1.Create(self, 0, 0, 0, 0);
    Picture1.SetBackColor(kWhite);
    Picture1.Resize = [this] { Picture1_Resize(); };
    WebBrowser1 = browser::CreateWebView(Picture1.rt::Window::hWnd(), RECT{0, 0, 0, 0});

    WebuTab.SetTabStyle(1);
    WebuTab.SetTabLeftSize(10);
    WebuTab.SetTabRightSize(-136);
    WebuTab.Create(self, kStripLeft, kStripTop, 0, kStripHeight);

    web_tool.Create(self, 0, 15, 360, 270);
    web_min.Create(self, 0, 15, 360, 270);
    web_minmax.Create(self, 0, 15, 375, 270);
    web_minmax.SetStyle(1);
    web_close.Create(self, 0, 15, 645, 270);

    FontDesc linkFont;
    linkFont.underline = true;
    struct WideButton {
        iButton& button;
        long width;
        const wchar_t* caption;
    };
    for (const WideButton& b : {WideButton{GameSpaceBtn, 1215, L"游戏大厅"}, WideButton{OtherUserBtn, 1485, L"登录其他帐号"}}) {
        b.button.Create(self, 0, 0, b.width, 330);
        b.button.SetAutoSize(false);
        b.button.SetcFont(linkFont);
        b.button.SetcForeColor(kWhite);
        b.button.SetCaption(b.caption);
    }
    LoadLinkPictures(Twips().dpiX);

    PicLogo.Create(self, 100, 30, 440, 440);
    WebBForm.Create(self, 0, 0, ScaleWidth(), 495);
    WebBForm.SetBackColor(std::to_wstring(kCaptionBackColor));
    WebBForm.SetHasLogo(true);
    // The caption strip lies under everything else on it; the placeholder covers the pages.
    ::SetWindowPos(WebBForm.rt::Window::hWnd(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetWindowPos(Picture1.rt::Window::hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    appmenu.Add(kMenuRefresh, L"刷新(F5)");
    appmenu.Add(kMenuHideRestore, L"隐藏/恢复(F10)");
    appmenu.Add(kMenuClearCache, L"清除缓存");
    appmenu.Add(kMenuLine, L"-");
    appmenu.Add(kMenuUpdate, L"更新");
    appmenu.Add(kMenuVersion, L"版本号:");
    appmenu.Add(kMenuExit, L"退出");

    // Events.
    auto arrow = [this](int&, int&, double&, double&) { SetArrowCursor(); };
    pCnt.MouseDown = arrow;
    pCnt.MouseMove = arrow;
    PicLogo.MouseDown = arrow;
    PicLogo.MouseMove = arrow;
    WebBForm.MouseMove = [this](short&, short&, float&, float&) { SetArrowCursor(); };
    WebuTab.TabChanged = [this] { Picture1.SetVisible(false); };
    WebuTab.OnMouseDown = [this](long& index, int&, int&, float&, float&) { WebuTab_OnMouseDown(index); };
    WebuTab.OnMouseHover = [this](long& index, int&, int&, float&, float&) { WebuTab_OnMouseHover(index); };
    WebuTab.OnMouseMove = [this](long&, int&, int&, float&, float&) { SetArrowCursor(); };
    WebuTab.OnMouseLeave = [this] { m_toolTip.SetText(L""); };
    WebuTab.OnItemColose = [this](long&, bool& cancel) { WebuTab_OnItemColose(cancel); };
    web_tool.Click = [this] { ShowAppMenu(); };
    web_min.Click = [this] { web_min_Click(); };
    web_minmax.Click = [this] { web_minmax_Click(); };
    web_close.Click = [this] { web_close_Click(); };
    GameSpaceBtn.Click = [this] { GameSpaceBtn_Click(); };
    OtherUserBtn.Click = [this] { OtherUserBtn_Click(); };
}

void WebMainFrm::OnLoad()
{
    HWND self = hWnd();
    CreateControls();

    const std::wstring iconPath = IconFilePath();
    m_smallIcon = LoadIconFile(iconPath, 16);
    ::SendMessageW(self, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.get()));
    m_tray = std::make_unique<CKvNotifyIcon>();
    m_tray->AddNotifyIcon(self, m_smallIcon.get(), kTrayTip);
    m_bigIcon = LoadIconFile(iconPath, 32);
    ::SendMessageW(self, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.get()));

    ModMsg::HookMainWnd(self, [this] { ShowAppMenu(); });
    // A sudden end runs no unload step (a further account's login page that comes back too
    // short ends the program): the hot key and the icon must not outlive the process all the same.
    m_endHook = rt::App::AtEnd([this] {
        ModMsg::UnhookMainWnd(hWnd());
        m_tray.reset();
    });

    const rt::VersionFields v = rt::App::Version();
    appmenu.SetCaption(kMenuVersion, L"版本号:" + std::to_wstring(v.major) + L"." + std::to_wstring(v.minor) + L"." +
                                         std::to_wstring(v.revision));

    WebBForm.SetCaption(L"LumoraVeldan");
    SetCaption(L"LumoraVeldan客户端");

    objStyle = std::make_unique<cSetStyle>();
    objStyle->CloseClick = [this] { web_close_Click(); };
    SetAutoRedraw(true);
    objStyle->SetobjForm(this);
    objStyle->SetWindowStyle(self);
    WebBForm.SetfrmHwnd(self);

    Move(CentredOffset(rt::Screen::Width(), Width()), CentredOffset(rt::Screen::Height(), Height()));
    // This is where restoring the window puts it: on a small screen, all of it on the work area.
    rt::KeepWindowOnWorkArea(self, rt::Sizing::Shrinkable);

    LoadCaptionPictures(Twips().dpiX);
    web_minmax.SetValue(true);
    web_tool.SetAccessibleName(kMenuButtonName);
    web_min.SetAccessibleName(kMinimizeButtonName);
    web_close.SetAccessibleName(kCloseButtonName);

    WebuTab.SethContainerWnd(pCnt.rt::Window::hWnd());
    WebuTab.LockReDraw(false);
    m_toolTip.Attach(WebuTab.rt::Window::hWnd());

    PicLogo.SetPicture(rt::LoadResPictureFor(IDB_LOGO, Twips().dpiX));

    m_dde.Start(rt::App::EXEName(), kDdeTopic, [this](const std::wstring& command) { LinkExecute(command); });
    // A later launch of the client brings this window back instead of the login pair.
    m_front = OfferFront(FrontRank::MainWindow, [this] { BringBack(); });

    web_minmax_Click();
}

void WebMainFrm::LoadLinkPictures(int dpi)
{
    GameSpaceBtn.SetIcon(rt::LoadResPictureFor(IDB_GAMESPACE_ICON, dpi));
    GameSpaceBtn.SetBackPicture(rt::LoadResStripFor(IDB_GAMESPACE_STRIP, 3, dpi));
    OtherUserBtn.SetIcon(rt::LoadResPictureFor(IDB_OTHERUSER_ICON, dpi));
    OtherUserBtn.SetBackPicture(rt::LoadResStripFor(IDB_OTHERUSER_STRIP, 3, dpi));
}

void WebMainFrm::LoadCaptionPictures(int dpi)
{
    web_close.SetBackPicture(rt::LoadResStripFor(IDB_CAPTION_CLOSE, 3, dpi));
    web_minmax.SetBackPicture(rt::LoadResStripFor(IDB_CAPTION_MINMAX, 6, dpi));
    web_min.SetBackPicture(rt::LoadResStripFor(IDB_CAPTION_MIN, 3, dpi));
    web_tool.SetBackPicture(rt::LoadResStripFor(IDB_CAPTION_TOOL, 3, dpi));
}

void WebMainFrm::OnDpiChanged(int, int newDpi)
{
    // The buttons size themselves to their pictures; the resize that follows places them.
    LoadCaptionPictures(newDpi);
    LoadLinkPictures(newDpi);
    PicLogo.SetPicture(rt::LoadResPictureFor(IDB_LOGO, newDpi));
}

void WebMainFrm::OnResize()
{
    if (GetWindowState() == rt::WindowState::Minimized) return;
    const long W = Width();
    const long C = ScaleWidth();
    const long CH = ScaleHeight();

    WebBForm.Move(0, 0, W);
    WebBForm.Printform(*this);

    const rt::TwipsScale scale = Twips();
    const RegionSize region = RegionForClient(C, CH, scale.TwipsPerPixelX(), scale.TwipsPerPixelY());
    const auto corner = static_cast<short>(rt::ScalePixels(kMainCorner, scale.dpiX));
    RectRgn(hWnd(), static_cast<short>(region.width), static_cast<short>(region.height), corner, corner);

    const MainLayout l = LayOutMainWindow(W, C, CH, WebuTab.Height());
    web_close.Move(l.closeLeft, rt::kKeep);
    web_minmax.Move(l.minmaxLeft, rt::kKeep);
    web_min.Move(l.minLeft, rt::kKeep);
    web_tool.Move(l.toolLeft, rt::kKeep);
    if (l.strip) WebuTab.Move(l.strip->left, l.strip->top, l.strip->width);
    GameSpaceBtn.Move(l.gameSpaceLeft, rt::kKeep);
    OtherUserBtn.Move(l.otherUserLeft, rt::kKeep);
    if (l.pages) {
        Picture1.Move(l.pages->left, l.pages->top, l.pages->width, l.pages->height);
        pCnt.Move(l.pages->left, l.pages->top, l.pages->width, l.pages->height);
    }
}

void WebMainFrm::Picture1_Resize()
{
    if (!WebBrowser1) return;
    const rt::TwipsScale scale = Twips();
    const SIZE inner = Picture1.PixelSize();
    const TwipsRect r = OverhangingChild(scale.TwipsX(inner.cx), scale.TwipsY(inner.cy), kBrowserOverhang);
    WebBrowser1->Move(scale.PixelsX(r.left), scale.PixelsY(r.top), scale.PixelsX(r.width), scale.PixelsY(r.height));
}

void WebMainFrm::SetArrowCursor()
{
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
}

void WebMainFrm::OpenGamePage(const std::wstring& strURL)
{
    // Every way in (a start command, DDE) meets the same rule here.
    if (!IsGameUrl(strURL)) {
        rt::App::LogEvent(L"WebMainFrm.OpenGamePage: not a web address: " + strURL.substr(0, 300));
        return;
    }
    const std::wstring key = L"Game" + strURL;
    CTabItems& items = WebuTab.TabItems();
    const long index = items.FindItem(key);
    switch (NextGamePageStep(index, items.Count())) {
    case GamePageStep::Open: {
        auto page = std::make_shared<WebUrl>();
        page->OpenURL(strURL);
        items.Add(key, page, key);
        items.SetSelected(items.Count() - 1);
        TakeRefreshKey();
        break;
    }
    case GamePageStep::Select:
        items.SetSelected(index);
        break;
    case GamePageStep::Refuse:
        rt::App::LogEvent(L"WebMainFrm.OpenGamePage: " + std::to_wstring(kMaxGamePages) +
                          L" game pages are open already: " + strURL);
        return;
    }
    Picture1.SetVisible(false);
}

void WebMainFrm::TakeRefreshKey()
{
    // Filters are asked latest first, and a page's view registers its own, which swallows F5
    // in the system browser control: registering again after each new page keeps this one first.
    m_refreshKey = rt::MessageFilterRegistration([this](MSG& msg) {
        if (TabKey(msg)) return true;
        if (msg.message != WM_KEYDOWN || msg.wParam != VK_F5) return false;
        if (!HasWindow() || !msg.hwnd || !::IsChild(WebuTab.hContainerWnd(), msg.hwnd)) return false;
        // A held key refreshes once.
        if (!(msg.lParam & (1 << 30))) RunMenuCommand(kMenuRefresh);
        return true;
    });
}

bool WebMainFrm::TabKey(const MSG& msg)
{
    if (!HasWindow() || !msg.hwnd || (msg.hwnd != hWnd() && !::IsChild(hWnd(), msg.hwnd))) return false;
    const auto vk = static_cast<unsigned>(msg.wParam);
    if (vk >= m_tabKeyDown.size()) return false;
    if (msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP) {
        // The page saw no press of this key, so it sees no release either.
        const bool ours = m_tabKeyDown[vk];
        m_tabKeyDown[vk] = false;
        return ours;
    }
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    const KeyChord chord{vk, ::GetKeyState(VK_CONTROL) < 0, ::GetKeyState(VK_SHIFT) < 0, ::GetKeyState(VK_MENU) < 0};
    const bool close = IsCloseTabKey(chord);
    if (!close && !IsTabKey(chord)) return false;
    m_tabKeyDown[vk] = true;
    if (close) {
        // Closed from the window's queue, once per press: closing the last page asks first in a
        // box of its own, which may end the window and this filter with it.
        if (!(msg.lParam & (1 << 30))) ::PostMessageW(hWnd(), kCloseTabMessage, 0, 0);
        return true;
    }
    const long target = TabKeyTarget(chord, WebuTab.TabItems().Count(), WebuTab.Selected());
    if (target >= 0) WebuTab.ChooseTab(target);
    return true;
}

void WebMainFrm::LinkExecute(const std::wstring& command)
{
    // Any local program can send this: what is not a web address changes nothing at all.
    if (!IsGameUrl(command)) {
        rt::App::LogEvent(L"WebMainFrm.LinkExecute: not a web address: " + command.substr(0, 300));
        return;
    }
    SetWindowState(rt::WindowState::Normal);
    OpenGamePage(command);
}

void WebMainFrm::WebuTab_OnMouseDown(long itemIndex)
{
    SetArrowCursor();
    if (!web_minmax.Value() && itemIndex < 0) {
        ::ReleaseCapture();
        ::SendMessageW(hWnd(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
    }
}

void WebMainFrm::WebuTab_OnMouseHover(long itemIndex)
{
    CTabItems& items = WebuTab.TabItems();
    if (itemIndex >= 0 && itemIndex < items.Count())
        m_toolTip.SetText(items.Item(itemIndex)->Caption());
    else
        m_toolTip.SetText(L"");
}

void WebMainFrm::WebuTab_OnItemColose(bool& cancel)
{
    if (WebuTab.TabItems().Count() > 1) {
        // The closing tab's caption must not stay on the tip; the strip reports a hover again
        // only when the pointer reaches another tab.
        m_toolTip.SetText(L"");
        return;
    }
    // The last page stays; closing it means closing the window (after the confirmation).
    cancel = true;
    web_close_Click();
}

void WebMainFrm::OnQueryUnload(bool& cancel, rt::UnloadMode)
{
    if (m_bExit) return;
    MsgFrm box(m_bExit);
    box.Show(rt::ShowMode::Modal);
    if (!m_bExit) cancel = true;
}

void WebMainFrm::OnUnload(bool&)
{
    m_front.Withdraw();
    m_refreshKey.Reset();
    // The player chose to leave the game: a further login still open goes too, or it would keep
    // the program running with nothing to log in to.
    if (LoginBgFrm* pair = LoginBgFrm::IfExists(); pair && pair->IsLoaded()) pair->Unload();
    ModMsg::UnhookMainWnd(hWnd());
    m_dde.Stop();
    m_toolTip.Detach();
    WebuTab.TabItems().Clear();
    objStyle.reset();
}

LRESULT WebMainFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_ACTIVATE:
        // Posted: the activation raises this window only after its notice has been handled.
        if (LOWORD(wParam) != WA_INACTIVE) ::PostMessageW(hWnd(), kLoginPairInFrontMessage, 0, 0);
        break;
    case kLoginPairInFrontMessage:
        KeepLoginPairInFront();
        return 0;
    case kCloseTabMessage: {
        // As a click on the selected tab's close mark.
        CTabItems& items = WebuTab.TabItems();
        const long selected = WebuTab.Selected();
        if (selected >= 0 && selected < items.Count() && !items.At(selected).HideButton()) items.Remove(selected, true);
        return 0;
    }
    case WM_SYSCOMMAND:
        // Alt pressed and released alone opens "菜单", which stands where a menu bar would be
        // (F10, the other menu key, hides the window here); Alt+Space still opens the window menu.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) {
            ShowAppMenu();
            return 0;
        }
        break;
    }
    return rt::Form::HandleMessage(msg, wParam, lParam);
}

void WebMainFrm::OnWindowDestroyed()
{
    // Nothing can click the icon of a window that is gone; it leaves the notification area now,
    // also when the program then ends at once (the update path).
    m_tray.reset();
    m_endHook.Reset();
    auto& current = TheMainWindow();
    if (current.get() != this) return;
    UnloadedMainWindow() = std::move(current);
    ::SetTimer(nullptr, 0, 0, &ReleaseUnloaded);
}

}  // namespace corvane
