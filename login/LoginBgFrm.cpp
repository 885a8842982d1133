#include "login/LoginBgFrm.h"

#include <memory>

#include "app/PublicData.h"
#include "app/StartupMarks.h"
#include "login/LoginFrm.h"
#include "login/LoginLayout.h"
#include "resources/ResourceIds.h"
#include "runtime/WorkArea.h"

namespace corvane {

namespace {

std::unique_ptr<LoginBgFrm>& TheBackground()
{
    static std::unique_ptr<LoginBgFrm> frm;
    return frm;
}

rt::FormDesign BackgroundDesign()
{
    rt::FormDesign d;
    d.className = L"LoginBgFrm";
    d.caption = L"LumoraVeldan客户端";
    d.clientWidth = 13320;  // the login picture, 888 x 518 pixels
    d.clientHeight = 7770;
    d.startUp = rt::StartUpPosition::CenterScreen;
    d.sizableBorder = true;  // caption and frame go at load; the system menu and buttons stay
    d.showInTaskbar = true;
    return d;
}

}  // namespace

void DragByCaption(HWND hwnd)
{
    ::ReleaseCapture();
    ::SendMessageW(hwnd, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

RECT PairRectForDpi(WPARAM wParam, int left, int top)
{
    const rt::PixelRect r = LoginPairRectAt(left, top, LOWORD(wParam));
    return {r.left, r.top, r.right, r.bottom};
}

LoginBgFrm& LoginBgFrm::Instance()
{
    auto& frm = TheBackground();
    if (!frm) frm.reset(new LoginBgFrm());
    return *frm;
}

LoginBgFrm* LoginBgFrm::IfExists()
{
    return TheBackground().get();
}

LoginBgFrm::LoginBgFrm() : rt::Form(BackgroundDesign()) {}

LoginBgFrm::~LoginBgFrm() = default;

void LoginBgFrm::SetIcons(rt::Icon small, rt::Icon big)
{
    if (!HasWindow()) return;
    ::SendMessageW(hWnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
    ::SendMessageW(hWnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
    // The window no longer shows the previous pair, so they may go now.
    m_smallIcon = std::move(small);
    m_bigIcon = std::move(big);
}

void LoginBgFrm::OnLoad()
{
    const LONG style = ::GetWindowLongW(hWnd(), GWL_STYLE);
    ::SetWindowLongW(hWnd(), GWL_STYLE, static_cast<LONG>(static_cast<DWORD>(style) & 0xFF3BFFFFu));
    ::SetWindowLongW(hWnd(), GWL_EXSTYLE, ::GetWindowLongW(hWnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    StartupMark("background window made");
    m_picture.Paint(hWnd(), IDP_LOGIN_BG);
    StartupMark("background painted");
    SetLoginBgFollower(&LoginFrm::Instance());
    HookLoginBg(hWnd());
    SetCaption(L"LumoraVeldan客户端");

    // The window was centred with the frame it had; centre the picture itself, so that the
    // login window (which follows every move) lies on the centred picture.
    RECT r{};
    ::GetWindowRect(hWnd(), &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    ::SetWindowPos(hWnd(), nullptr, CentredOrigin(::GetSystemMetrics(SM_CXSCREEN), width),
                   CentredOrigin(::GetSystemMetrics(SM_CYSCREEN), height), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // On a screen narrower than the picture the page's own caption links, at its top right,
    // stay reachable.
    rt::KeepWindowOnWorkArea(hWnd(), rt::Sizing::Fixed);
}

void LoginBgFrm::OnResize()
{
    // The login window goes down and comes back with its owner. Windows hides the owned windows
    // of a minimised owner by itself; Wine leaves them on screen.
    LoginFrm* login = LoginFrm::IfExists();
    if (!login || !login->IsLoaded()) return;
    if (::IsIconic(hWnd())) {
        if (login->Visible()) {
            login->Hide();
            m_loginDown = true;
        }
    } else if (m_loginDown) {
        m_loginDown = false;
        ::ShowWindow(login->hWnd(), SW_SHOWNA);
    }
}

void LoginBgFrm::OnUnload(bool&)
{
    m_picture.Release();
    // The procedure goes back before the login window unloads, so that no move message reaches
    // a login window that is gone.
    UnhookLoginBg(hWnd());
    SetLoginBgFollower(nullptr);
    if (LoginFrm* login = LoginFrm::IfExists()) login->Unload();
    ::SendMessageW(hWnd(), WM_SETICON, ICON_SMALL, 0);
    ::SendMessageW(hWnd(), WM_SETICON, ICON_BIG, 0);
    m_smallIcon.reset();
    m_bigIcon.reset();
    m_loginDown = false;
}

void LoginBgFrm::OnMouseDown(int button, int, double, double)
{
    if (button == 1) DragByCaption(hWnd());
}

void LoginBgFrm::OnDpiChanged(int, int newDpi)
{
    // The picture drawn for the new scale; the window takes its size.
    m_picture.Paint(hWnd(), IDP_LOGIN_BG, newDpi);
    // The login window lies on the picture: it scales with it, at the corner where it lies now
    // (the move that follows takes it along). The system tells it too, once it is on the new
    // monitor itself; the same dpi again only glues it.
    LoginFrm* login = LoginFrm::IfExists();
    if (!login || !login->IsLoaded()) return;
    RECT suggested{};
    ::GetWindowRect(login->hWnd(), &suggested);
    ::SendMessageW(login->hWnd(), rt::kWmDpiChanged, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
}

LRESULT LoginBgFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == rt::kWmDpiChanged && lParam) {
        // The system's rectangle places the picture; its size is the picture's at the new dpi.
        const auto* offered = reinterpret_cast<const RECT*>(lParam);
        RECT glued = PairRectForDpi(wParam, offered->left, offered->top);
        const LRESULT result = rt::Form::HandleMessage(msg, wParam, reinterpret_cast<LPARAM>(&glued));
        // The system fitted its rectangle to the new monitor, not the picture's size: the pair
        // stays reachable there as it does where it first shows.
        if (HasWindow()) rt::KeepWindowOnWorkArea(hWnd(), rt::Sizing::Fixed);
        return result;
    }
    return rt::Form::HandleMessage(msg, wParam, lParam);
}

}  // namespace corvane
