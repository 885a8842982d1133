// The on-demand check accepted from the main window: the updater (here the probe program carried
// as this program's "UPDATE" 101) is written to a new folder in the temporary directory and started with
// "<dir>|<dir>\<name>.exe", and every window closes without asking, a further login's too.

#include <gtest/gtest.h>

#include "login/LoginBgFrm.h"
#include "login/LoginFrm.h"
#include "mainwindow/WebMainFrm.h"
#include "runtime/App.h"
#include "runtime/MessageBox.h"
#include "tests/driver/Driver.h"
#include "tests/wine/update/UpdateTestSupport.h"

namespace {

using namespace updatetest;

TEST(OnDemandUpdate, YesStartsTheUpdaterAndClosesTheMainWindowWithoutAsking)
{
    const std::wstring temp = FreshDir(L"on demand yes");
    const std::wstring marker = temp + L"\\marker.txt";
    ::SetEnvironmentVariableW(L"TMP", temp.c_str());
    ::SetEnvironmentVariableW(L"TEMP", temp.c_str());
    ::SetEnvironmentVariableW(L"CORVANE_PORTAL_URL", Portal().c_str());
    ::SetEnvironmentVariableW(L"CORVANE_TEST_MARKER", marker.c_str());
    ServeManifest("1.0.9", "");

    auto& frm = corvane::WebMainFrm::Instance();
    frm.Show();
    ASSERT_TRUE(frm.IsLoaded());
    // A further login's pair is open too ("登录其他帐号").
    corvane::LoginFrm::Instance().Show();
    ASSERT_TRUE(corvane::LoginBgFrm::Instance().IsLoaded());
    driver::MessageBoxAnswerer answerer(IDYES);
    answerer.SetRecordStyle(true);
    frm.Update_Click();

    // Only the question: no exit confirmation.
    ASSERT_EQ(answerer.Seen().size(), 1u);
    EXPECT_EQ(answerer.Seen()[0].text, L"发现有新版本，是否现在更新！");
    EXPECT_EQ(answerer.Seen()[0].style, rt::kMsgQuestionYesNo);
    EXPECT_TRUE(frm.m_bExit);
    EXPECT_FALSE(frm.IsLoaded());
    // No window of the program is left to keep it running while the updater replaces it.
    EXPECT_FALSE(corvane::LoginBgFrm::Instance().IsLoaded());
    EXPECT_FALSE(corvane::LoginFrm::Instance().IsLoaded());
    EXPECT_EQ(rt::App::LoadedForms(), 0);

    ASSERT_TRUE(driver::PumpUntil([&] { return Exists(marker); }, 15000));
    driver::Pump(300);
    const std::wstring dir = rt::App::Path();
    // From the one folder made for it.
    std::wstring folder;
    for (const std::wstring& name : ListDir(temp))
        if (name.starts_with(L"corvane-update-")) folder = name;
    EXPECT_EQ(ReadBytes(marker), driver::WideToUtf8(temp + L"\\" + folder + L"\\Update.exe\nargs: " + dir + L"|" +
                                                    dir + L"\\" + rt::App::EXEName() + L".exe\n"));
}

}  // namespace
