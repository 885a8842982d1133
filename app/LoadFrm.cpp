#include "app/LoadFrm.h"

#include <shellapi.h>
#include <wininet.h>

#include "app/CheckForUpdate.h"
#include "app/Endpoints.h"
#include "resources/ResourceIds.h"
#include "runtime/App.h"
#include "runtime/MessageBox.h"

namespace corvane {

namespace {

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

LoadFrm::LoadFrm() : rt::Form(SplashDesign()) {}

LoadFrm::~LoadFrm() = default;

void LoadFrm::OnInitialize()
{
    DWORD flags = 0;
    if (!::InternetGetConnectedState(&flags, 0)) {
        rt::MsgBox(L"未能连接到服务器，请检查网络连接是否正常！", rt::kMsgExclamation);
        rt::App::End();
    }
    CheckForUpdate(UpdateMode::StartUp);
}

void LoadFrm::OnLoad()
{
    if (IsWebSwitch(rt::App::Command())) {
        ::ShellExecuteW(nullptr, L"open", CurrentEndpoints().homePage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        rt::App::End();
    }
    ::SetWindowLongW(hWnd(), GWL_EXSTYLE, ::GetWindowLongW(hWnd(), GWL_EXSTYLE) | WS_EX_LAYERED);
    m_splash.Paint(hWnd(), IDP_SPLASH);
}

void LoadFrm::OnUnload(bool&)
{
    m_splash.Release();
}

void LoadFrm::OnMouseDown(int button, int, double, double)
{
    // Until the login window takes over, a click on the splash ends the program.
    if (button == 1) Unload();
}

LRESULT LoadFrm::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        Unload();
        return 0;
    }
    return rt::Form::HandleMessage(msg, wParam, lParam);
}

}  // namespace corvane
