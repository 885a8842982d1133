// The update through the demo portal, in one place: run_package_test.sh starts the portal
// "update" with --version 1.2.0, the next client under /files/ and two file lines. When the
// manifest's format changes, this file and that line change together.

#include "tests/wine/package/PortalUpdate.h"

#include <gtest/gtest.h>

#include "tests/wine/package/PackageTestSupport.h"
#include "tests/wine/update/UpdateTestSupport.h"

namespace packagetest {

void ExpectUpdateThroughDemoPortal(const std::wstring& installDir)
{
    const std::wstring client = installDir + L"\\Corvane.exe";
    driver::Process old = driver::Process::Start(client, L"", PortalEnvironment("UPDATE"));
    ASSERT_TRUE(old);
    {
        driver::MessageBoxAnswerer accept(IDYES, old.id());
        ASSERT_TRUE(accept.WaitForCount(1, 30000)) << "no update offered";
        EXPECT_EQ(accept.Seen()[0].text, L"发现有新版本，是否现在更新！");
        EXPECT_GE(old.WaitForExit(20000), 0) << "the client did not leave for the updater";
    }

    DWORD updater = 0;
    ASSERT_TRUE(driver::PumpUntil([&] { return (updater = updatetest::FindProcess(L"Update.exe")) != 0; }, 20000));
    {
        driver::MessageBoxAnswerer done(IDOK, updater);
        ASSERT_TRUE(done.WaitForCount(1, 60000)) << "the updater did not finish";
        EXPECT_EQ(done.Seen()[0].text, L"软件已升至最新版本！");
    }

    // The updater starts the new client from the installed folder; it finds itself current.
    DWORD restarted = 0;
    ASSERT_TRUE(driver::PumpUntil(
        [&] {
            for (DWORD id : ProcessesNamed(L"Corvane.exe"))
                if (_wcsicmp(ImagePath(id).c_str(), client.c_str()) == 0) restarted = id;
            return restarted != 0;
        },
        30000))
        << "no client was restarted from " << driver::WideToUtf8(installDir);
    EXPECT_TRUE(WaitForLoginPairOf(restarted));
    EXPECT_TRUE(driver::PumpUntil([] { return updatetest::FindProcess(L"Update.exe") == 0; }, 20000))
        << "the updater did not end";
    // The folder the updater ran from goes with it: the restarted client removes it.
    EXPECT_TRUE(driver::PumpUntil([] { return UpdaterFolders().empty(); }, 15000));
    EndProcesses(L"Corvane.exe");

    EXPECT_TRUE(SameFile(client, NextClient()));
    EXPECT_EQ(ClientVersion(client), L"1.2.0");
    const auto data = updatetest::ReadBytes(installDir + L"\\" + kUpdatedDataFile);
    ASSERT_TRUE(data);
    EXPECT_EQ(data->size(), 20000u);
    // What the updater placed, for the uninstaller.
    const std::string record = "demo20000.bin\r\nCorvane.exe\r\n";
    std::string utf16;
    for (char c : record) utf16 += std::string{c, '\0'};
    EXPECT_EQ(updatetest::ReadBytes(installDir + L"\\update.corvane-files"), utf16);
}

}  // namespace packagetest
