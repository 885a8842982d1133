// The shared helpers under Wine: the temporary directory, resources written to disk byte for
// byte, and the login background's window-procedure hook.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "app/PublicData.h"
#include "login/LoginBgFrm.h"
#include "login/LoginFrm.h"
#include "runtime/Form.h"
#include "runtime/Handles.h"
#include "runtime/Screen.h"
#include "tests/driver/Driver.h"
#include "tests/driver/MessageSequence.h"

namespace {

std::wstring CorvaneExe() { return driver::BuildDir() + L"\\app\\Corvane.exe"; }

std::string ReadFile(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

class EnvironmentOverride {
public:
    EnvironmentOverride(const wchar_t* name, const wchar_t* value) : m_name(name)
    {
        wchar_t buffer[1024];
        DWORD n = ::GetEnvironmentVariableW(name, buffer, 1024);
        if (n > 0 && n < 1024) m_old = std::wstring(buffer, n);
        ::SetEnvironmentVariableW(name, value);
    }
    ~EnvironmentOverride() { ::SetEnvironmentVariableW(m_name, m_old ? m_old->c_str() : nullptr); }

private:
    const wchar_t* m_name;
    std::optional<std::wstring> m_old;
};

TEST(GetTempDir, ExactlyOneTrailingBackslash)
{
    const std::wstring dir = corvane::GetTempDir();
    ASSERT_GE(dir.size(), 3u);
    EXPECT_EQ(dir.back(), L'\\');
    EXPECT_NE(dir[dir.size() - 2], L'\\');
    EXPECT_NE(::GetFileAttributesW(dir.c_str()), INVALID_FILE_ATTRIBUTES);

    // The platform takes the directory from TMP; with or without its own backslash the result
    // has one.
    const std::wstring base = driver::BuildDir() + L"\\tmp-test";
    ::CreateDirectoryW(base.c_str(), nullptr);
    {
        EnvironmentOverride tmp(L"TMP", base.c_str());
        EXPECT_EQ(corvane::GetTempDir(), base + L"\\");
    }
    {
        EnvironmentOverride tmp(L"TMP", (base + L"\\").c_str());
        EXPECT_EQ(corvane::GetTempDir(), base + L"\\");
    }
}

TEST(SaveResourceToFile, ByteExactCopiesCreatedAndReplaced)
{
    rt::Module corvane(::LoadLibraryExW(CorvaneExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(corvane);
    const std::wstring dir = corvane::GetTempDir();
    const std::wstring icon = dir + L"vld-test.ico";
    const std::wstring updater = dir + L"Update-test.exe";
    ::DeleteFileW(icon.c_str());

    ASSERT_TRUE(corvane::SaveResourceToFile(101, L"ICON", icon, corvane.get()));
    EXPECT_TRUE(ReadFile(icon) == ReadFile(driver::SourceDir() + L"\\resources\\vld.ico"));

    // An existing, longer file is replaced, not overwritten in place.
    WriteFile(updater, std::string(2'000'000, 'x'));
    ASSERT_TRUE(corvane::SaveResourceToFile(101, L"UPDATE", updater, corvane.get()));
    const std::string written = ReadFile(updater), built = ReadFile(driver::BuildDir() + L"\\updater\\Update.exe");
    EXPECT_EQ(written.size(), built.size());
    EXPECT_TRUE(written == built);

    // A resource that does not exist leaves the file alone.
    WriteFile(icon, "keep me");
    EXPECT_FALSE(corvane::SaveResourceToFile(999, L"ICON", icon, corvane.get()));
    EXPECT_EQ(ReadFile(icon), "keep me");

    // A directory that does not exist is a quiet failure.
    EXPECT_FALSE(corvane::SaveResourceToFile(101, L"ICON", dir + L"no\\such\\dir\\vld.ico", corvane.get()));
    ::DeleteFileW(icon.c_str());
    ::DeleteFileW(updater.c_str());
}

class PlainForm : public rt::Form {
public:
    explicit PlainForm(const wchar_t* className, double left)
        : rt::Form([&] {
              rt::FormDesign d;
              d.className = className;
              d.clientWidth = 3000;
              d.clientHeight = 1500;
              d.startUp = rt::StartUpPosition::Manual;
              d.left = left;
              d.top = 1500;
              return d;
          }())
    {
    }
};

TEST(LoginBgHook, FollowerStaysOnTheBackgroundsCorner)
{
    PlainForm background(L"HookBackground", 1500);
    PlainForm follower(L"HookFollower", 9000);
    background.Show();
    follower.Show();
    const HWND hwnd = background.hWnd();
    const auto originalProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));

    corvane::HookLoginBg(hwnd);
    corvane::SetLoginBgFollower(&follower);
    EXPECT_EQ(corvane::PrevWndProc, originalProc);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)), &corvane::LoginBgWndProc);

    ::SetWindowPos(hwnd, nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT bg, fl;
    ::GetWindowRect(hwnd, &bg);
    ::GetWindowRect(follower.hWnd(), &fl);
    EXPECT_EQ(fl.left, bg.left);
    EXPECT_EQ(fl.top, bg.top);
    // Only the position follows; the follower keeps its size.
    EXPECT_EQ(fl.right - fl.left, rt::Screen::Scale().PixelsX(3000));

    corvane::UnhookLoginBg(hwnd);
    corvane::SetLoginBgFollower(nullptr);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)), originalProc);
    ::SetWindowPos(hwnd, nullptr, 500, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::GetWindowRect(follower.hWnd(), &fl);
    EXPECT_EQ(fl.left, 300);

    follower.Unload();
    background.Unload();
}

// What the login pair's two windows see while the background unloads, with a mark where the
// background's procedure stops being LoginBgWndProc.
struct UnloadWatch {
    HWND background = nullptr;
    HWND login = nullptr;
    bool restored = false;
    driver::MessageSequence seq;
};
UnloadWatch* g_watch = nullptr;
constexpr UINT kProcedureRestored = WM_APP + 1;

LRESULT CALLBACK WatchUnload(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_watch && (m->hwnd == g_watch->background || m->hwnd == g_watch->login)) {
        if (!g_watch->restored &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(g_watch->background, GWLP_WNDPROC)) != &corvane::LoginBgWndProc) {
            g_watch->restored = true;
            g_watch->seq.Add(kProcedureRestored, 0);
        }
        if (m->message == WM_DESTROY || m->message == WM_NCDESTROY)
            g_watch->seq.Add(m->message, m->hwnd == g_watch->login ? driver::kSent : driver::kSent | driver::kParent);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The background gives its procedure back before the login window goes, so that no move
// message can reach a login window that is gone; then it goes itself.
TEST(LoginBgUnload, ProcedureRestoredBeforeTheLoginWindowIsDestroyed)
{
    // Unloaded before any message is pumped: the login page never comes.
    corvane::LoginFrm& login = corvane::LoginFrm::Instance();
    login.Load();
    corvane::LoginBgFrm& background = corvane::LoginBgFrm::Instance();
    ASSERT_TRUE(background.IsLoaded());
    UnloadWatch watch{background.hWnd(), login.hWnd()};
    ASSERT_EQ(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(watch.background, GWLP_WNDPROC)), &corvane::LoginBgWndProc);
    g_watch = &watch;
    {
        const rt::Hook hook(::SetWindowsHookExW(WH_CALLWNDPROC, &WatchUnload, nullptr, ::GetCurrentThreadId()));
        ASSERT_TRUE(hook);
        background.Unload();
    }
    g_watch = nullptr;
    static const driver::Msg expected[] = {
        {kProcedureRestored, 0},
        {WM_DESTROY, driver::kSent},
        {WM_NCDESTROY, driver::kSent},
        {WM_DESTROY, driver::kSent | driver::kParent},
        {WM_NCDESTROY, driver::kSent | driver::kParent},
        {0, 0},
    };
    EXPECT_EQ(watch.seq.Compare(expected), "");
    EXPECT_FALSE(login.IsLoaded());
}

}  // namespace
