#include "app/LoadFrm.h"

#include <shellapi.h>

#include <utility>

#include "app/CheckForUpdate.h"
#include "app/Endpoints.h"
#include "app/StartupMarks.h"
#include "net/Connection.h"
#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/Screen.h"

namespace corvane {

namespace {

LoadFrm* g_splash = nullptr;

rt::FormDesign SplashDesign()
{
    rt::FormDesign d;
    d.className = L"LoadFrm";
    d.caption = L"LumoraVeldan客户端";
    d.clientWidth = 5340;  // the size of the splash picture, 356 x 122 pixels
    d.clientHeight = 1830;
    d.startUp = rt::StartUpPosition::CenterScreen;
    d.iconResource = IDI_PROGRAM;
    return d;
}

}  // namespace

bool IsWebSwitch(const std::wstring& command)
{
    return command == L"/web";
}

LoadFrm::LoadFrm(std::function<void()> loadLogin) : rt::Form(SplashDesign()), m_loadLogin(std::move(loadLogin))
{
    g_splash = this;
}

LoadFrm::~LoadFrm()
{
    if (g_splash == this) g_splash = nullptr;
}

LoadFrm* LoadFrm::IfExists()
{
    return g_splash;
}

void LoadFrm::OnInitialize()
{
    // Before any window exists: without a connection nothing is shown but the message.
    if (!InternetConnected()) EndForNoConnection();
    StartupMark("connection tested");
    // The pictures are decoded while the update check waits for the server; "/web" shows none.
    if (!IsWebSwitch(rt::App::Command())) m_pictures.emplace(std::vector<int>{IDP_SPLASH, IDP_LOGIN_BG}, rt::Screen::Scale().dpiX);
    CheckForUpdate(UpdateMode::StartUp);
    StartupMark("update checked");
}

void LoadFrm::OnLoad()
{
    StartupMark("splash window made");
    if (IsWebSwitch(rt::App::Command())) {
        ::ShellExecuteW(nullptr, L"open", CurrentEndpoints().homePage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        rt::App::End();
    }
    ::SetWindowLongW(hWnd(), GWL_EXSTYLE, ::GetWindowLongW(hWnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    m_splash.Paint(hWnd(), IDP_SPLASH);
    StartupMark("splash painted");
    // Hidden: the login page loads while the splash shows; the login window shows the pair
    // and unloads the splash when the page has arrived.
    m_loadLogin();
    StartupMark("login window loaded");
}

void LoadFrm::OnUnload(bool&)
{
    m_splash.Release();
    m_pictures.reset();
}

}  // namespace corvane
