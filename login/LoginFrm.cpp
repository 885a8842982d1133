#include "login/LoginFrm.h"

#include <memory>

#include "app/Endpoints.h"
#include "app/LoadFrm.h"
#include "app/PublicData.h"
#include "app/StartupMarks.h"
#include "login/GameUrl.h"
#include "login/LoginBgFrm.h"
#include "login/LoginLayout.h"
#include "mainwindow/WebMainFrm.h"
#include "net/Connection.h"
#include "resources/ResourceIds.h"
#include "runtime/App.h"

namespace corvane {

namespace {

constexpr UINT kHandOverMessage = WM_APP + 0x48;
constexpr COLORREF kKeyColour = 0x00FEFEFE;

std::unique_ptr<LoginFrm>& TheLoginWindow()
{
    static std::unique_ptr<LoginFrm> frm;
    return frm;
}

rt::FormDesign LoginDesign()
{
    rt::FormDesign d;
    d.className = L"LoginFrm";
    d.caption = L"Lumora客户端";
    d.clientWidth = 13320;  // 888 x 518 pixels, the background picture's size
    d.clientHeight = 7770;
    d.startUp = rt::StartUpPosition::CenterScreen;
    d.showInTaskbar = false;  // the background window carries the taskbar entry
    d.backColor = kKeyColour;
    return d;
}

}  // namespace

LoginFrm& LoginFrm::Instance()
{
    auto& frm = TheLoginWindow();
    if (!frm) frm.reset(new LoginFrm());
    return *frm;
}

LoginFrm* LoginFrm::IfExists()
{
    return TheLoginWindow().get();
}

LoginFrm::LoginFrm() : rt::Form(LoginDesign()) {}

LoginFrm::~LoginFrm() = default;

void LoginFrm::WriteIconFile()
{
    // Written anew at every load; the main window takes its icons from the same file.
    const std::wstring path = IconFilePath();
    SaveResourceToFile(IDR_ICON_FILE, L"ICON", path);
    StartupMark("icon file written");
    // Asking the background window for its window loads it.
    LoginBgFrm& background = LoginBgFrm::Instance();
    background.Load();
    background.SetIcons(LoadIconFile(path, 16), LoadIconFile(path, 32));
}

void LoginFrm::OnLoad()
{
    StartupMark("login window made");
    m_handOver.reset();
    WriteIconFile();
    StartupMark("icon file and background");

    const rt::PixelSize browserSize = LoginBrowserSizeAt(Twips().dpiX);
    WebBrowser1 = browser::CreateWebView(hWnd(), RECT{0, 0, browserSize.width, browserSize.height});
    if (WebBrowser1) {
        WebBrowser1->events.beforeNavigate = [this](const std::wstring& url, bool, bool& cancel) {
            WebBrowser1_BeforeNavigate2(url, cancel);
        };
        WebBrowser1->events.documentComplete = [this](const std::wstring& url, bool topLevel) {
            WebBrowser1_DocumentComplete(url, topLevel);
        };
        // The login page never shows the browser's context menu.
        WebBrowser1->events.contextMenu = [] { return false; };
        // A window the page asks for opens in this view, and only to a web address. The page's
        // own navigations and its frames' are left to it: its commands come that way.
        WebBrowser1->navigationFilter = {[](const std::wstring& url, browser::NavigationKind kind) {
            return kind != browser::NavigationKind::NewWindow || IsGameUrl(url);
        }};
        WebBrowser1->Navigate(CurrentEndpoints().loginPage);
    }
    StartupMark("login page asked for");

    ::SetWindowLongW(hWnd(), GWL_EXSTYLE, ::GetWindowLongW(hWnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    ::SetLayeredWindowAttributes(hWnd(), kKeyColour, 0, LWA_COLORKEY);
    LoginBgFrm& background = LoginBgFrm::Instance();
    ::SetWindowLongPtrW(hWnd(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(background.hWnd()));
    background.Load();
}

void LoginFrm::WebBrowser1_BeforeNavigate2(const std::wstring& url, bool& cancel)
{
    LoginNavigation n = ClassifyLoginNavigation(url);
    if (n.command == LoginCommand::None) return;
    cancel = n.cancel;
    if (m_handOver) {
        // The pair is closing already; nothing more may happen on this page.
        cancel = true;
        return;
    }
    switch (n.command) {
    case LoginCommand::Minimize:
        LoginBgFrm::Instance().SetWindowState(rt::WindowState::Minimized);
        return;
    case LoginCommand::LoadGame:
        if (!n.gameUrl) {
            // Only the start of what a hostile page sent goes to the log.
            rt::App::LogEvent(L"LoginFrm.WebBrowser1_BeforeNavigate2: start command without a web address: " +
                              url.substr(0, 300));
            return;
        }
        break;
    default:
        break;
    }
    m_handOver = std::move(n);
    ::PostMessageW(hWnd(), kHandOverMessage, 0, 0);
}

void LoginFrm::RunHandOver()
{
    const std::optional<LoginNavigation> handOver = std::exchange(m_handOver, std::nullopt);
    if (!handOver) return;
    // Told over the pair it concerns, before the pair goes.
    if (std::exchange(m_noConnection, false)) TellNoConnection();
    // The background window's unload unloads this window (and its browser) as well.
    if (LoginBgFrm* background = LoginBgFrm::IfExists()) background->Unload();
    // A command that came before the page completed finds the splash still up.
    if (LoadFrm* splash = LoadFrm::IfExists()) splash->Unload();
    if (handOver->command == LoginCommand::LoadGame && handOver->gameUrl) {
        WebMainFrm& main = WebMainFrm::Instance();
        main.SetURL(*handOver->gameUrl);
        main.Show();
    }
}

void LoginFrm::WebBrowser1_DocumentComplete(const std::wstring& url, bool topLevel)
{
    switch (JudgeCompletedPage(topLevel, WebBrowser1->RootInnerHtmlLength(), WebBrowser1->DocumentUrl(), url)) {
    case PageVerdict::ConnectionFailure:
        // Before the game runs, nothing can go on without the portal. A further login's short
        // page (a wrong password answer, a maintenance page) must not close the games already
        // running: only this pair closes, once the browser's event has returned.
        if (!WebMainFrm::IfExists() || !WebMainFrm::IfExists()->IsLoaded()) EndForNoConnection();
        if (!m_handOver) {
            m_handOver = LoginNavigation{LoginCommand::ExitGame, true, std::nullopt};
            m_noConnection = true;
            ::PostMessageW(hWnd(), kHandOverMessage, 0, 0);
        }
        return;
    case PageVerdict::ShowLogin:
        StartupMark("login page complete");
        ShowLoginPair();
        StartupMark("login pair shown");
        return;
    case PageVerdict::Ignore:
        return;
    }
}

void LoginFrm::ShowLoginPair()
{
    LoginBgFrm& background = LoginBgFrm::Instance();
    background.Show();
    StartupMark("background shown");
    // Glued to the picture's corner before it shows; the background keeps it there.
    RECT r{};
    ::GetWindowRect(background.hWnd(), &r);
    ::SetWindowPos(hWnd(), nullptr, r.left, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // A page that completes again while the pair is minimised leaves it down; restoring the
    // background brings this window back.
    if (!::IsIconic(background.hWnd())) {
        Show();
        // The page is the first thing the window shows, not whatever its surface held.
        ::RedrawWindow(hWnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        FocusPage();
    }
    if (LoadFrm* splash = LoadFrm::IfExists()) splash->Unload();
    if (!m_front) m_front = OfferFront(FrontRank::LoginPair, [this] { BringPairBack(); });
}

void LoginFrm::BringPairBack()
{
    // Still waiting for its page, the pair comes to the front when it shows.
    LoginBgFrm* background = LoginBgFrm::IfExists();
    if (!background || !background->HasWindow() || !::IsWindowVisible(background->hWnd())) return;
    // Restoring the background brings this window back with it.
    if (::IsIconic(background->hWnd())) background->SetWindowState(rt::WindowState::Normal);
    FocusPage();
}

void LoginFrm::FocusPage()
{
    // The player types at once: activating the form alone leaves the focus on the form itself.
    ::SetForegroundWindow(hWnd());
    if (WebBrowser1) ::SetFocus(WebBrowser1->hWnd());
}

void LoginFrm::OnQueryUnload(bool& cancel, rt::UnloadMode mode)
{
    // Closed by the user (Alt+F4 on the page): the pair closes together, through its owner,
    // once this close has returned.
    if (mode == rt::UnloadMode::FormCode) return;
    LoginBgFrm* background = LoginBgFrm::IfExists();
    if (!background || !background->IsLoaded()) return;
    cancel = true;
    ::PostMessageW(background->hWnd(), WM_CLOSE, 0, 0);
}

void LoginFrm::OnUnload(bool&)
{
    m_front.Withdraw();
    m_handOver.reset();
    WebBrowser1.reset();
}

void LoginFrm::OnMouseDown(int button, int, double, double)
{
    if (button == 1) DragByCaption(hWnd());
}

void LoginFrm::OnDpiChanged(int, int newDpi)
{
    if (!WebBrowser1) return;
    const rt::PixelSize size = LoginBrowserSizeAt(newDpi);
    WebBrowser1->Move(0, 0, size.width, size.height);
}

LRESULT LoginFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == kHandOverMessage) {
        RunHandOver();
        return 0;
    }
    if (msg == rt::kWmDpiChanged) {
        // Wherever the system would put it, the window lies on the picture's corner.
        RECT corner{};
        LoginBgFrm* background = LoginBgFrm::IfExists();
        if (background && background->HasWindow())
            ::GetWindowRect(background->hWnd(), &corner);
        else if (lParam)
            corner = *reinterpret_cast<const RECT*>(lParam);
        else
            ::GetWindowRect(hWnd(), &corner);
        RECT glued = PairRectForDpi(wParam, corner.left, corner.top);
        return rt::Form::HandleMessage(msg, wParam, reinterpret_cast<LPARAM>(&glued));
    }
    return rt::Form::HandleMessage(msg, wParam, lParam);
}

}  // namespace corvane
