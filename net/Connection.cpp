#include "net/Connection.h"

#include <windows.h>
#include <wininet.h>

#include "runtime/App.h"
#include "runtime/MessageBox.h"

namespace corvane {

namespace {

bool OfflineForTests()
{
    wchar_t value[4] = {};
    const DWORD n = ::GetEnvironmentVariableW(L"CORVANE_TEST_OFFLINE", value, 4);
    return n == 1 && value[0] == L'1';
}

}  // namespace

bool InternetConnected()
{
    if (OfflineForTests()) return false;
    DWORD flags = 0;
    return ::InternetGetConnectedState(&flags, 0) != FALSE;
}

void TellNoConnection()
{
    rt::MsgBox(L"未能连接到服务器，请检查网络连接是否正常！", rt::kMsgExclamation);
}

void EndForNoConnection()
{
    TellNoConnection();
    rt::App::End();
}

}  // namespace corvane
