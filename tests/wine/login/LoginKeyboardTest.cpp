// The login window with the keyboard only, as a new player uses it: a click into "帐号", the
// account typed, Tab to "密码", Tab to the button and Shift+Tab back, Enter on the button; the
// portal sees the form posted with both fields and the main window takes over.

#include <gtest/gtest.h>

#include <vector>

#include "tests/wine/login/LoginTestSupport.h"

namespace {

using namespace logintest;

// An edit control's text in another process: GetWindowText does not ask other processes' windows.
std::wstring FieldText(HWND field)
{
    wchar_t buffer[256] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(field, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, &copied);
    return buffer;
}

// The window holding the keyboard focus in the client's GUI thread.
HWND FocusOf(HWND anyWindowOfThread)
{
    GUITHREADINFO info{sizeof(info)};
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(anyWindowOfThread, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// The client at its login pair with the page's two fields; it goes with the test, also when an
// assertion ends it early.
class LoginKeyboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        client = StartCorvane(Portal());
        ASSERT_TRUE(client);
        pair = WaitForLoginPair(client);
        ASSERT_TRUE(pair);
        fields = Descendants(pair.login, L"Edit");
        ASSERT_EQ(fields.size(), 2u);
    }
    void TearDown() override { client.Kill(); }

    driver::Process client;
    LoginPair pair;
    std::vector<HWND> fields;
};

TEST_F(LoginKeyboard, TabShiftTabAndEnterLogIn)
{
    const std::vector<HWND> buttons = Descendants(pair.login, L"Button");
    ASSERT_EQ(buttons.size(), 1u);
    const auto focusReaches = [&](HWND hwnd) { return driver::PumpUntil([&] { return FocusOf(pair.login) == hwnd; }, 5000); };
    const auto textReaches = [&](HWND hwnd, const wchar_t* text) {
        return driver::PumpUntil([&] { return FieldText(hwnd) == text; }, 5000);
    };

    driver::PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches(fields[1]));
    EXPECT_TRUE(driver::ClickOn(fields[0]));
    ASSERT_TRUE(focusReaches(fields[0]));
    driver::TypeText(L"carol");
    ASSERT_TRUE(textReaches(fields[0], L"carol"));
    driver::PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches(fields[1]));
    driver::TypeText(L"secret");
    ASSERT_TRUE(textReaches(fields[1], L"secret"));
    EXPECT_EQ(FieldText(fields[0]), L"carol");
    driver::PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches(buttons[0]));
    driver::PressKey(VK_TAB, MOD_SHIFT);
    ASSERT_TRUE(focusReaches(fields[1]));
    driver::PressKey(VK_TAB);
    ASSERT_TRUE(focusReaches(buttons[0]));
    driver::Screenshot(pair.background, L"login-keyboard-button-focused");

    driver::PressKey(VK_RETURN);
    EXPECT_TRUE(WaitForMainWindow(client));
    const std::string log = PortalLog();
    EXPECT_NE(log.find("username=carol&password=secret"), std::string::npos) << log;
}

// Typing right after the pair shows, without a click, fills the account field: the pair is
// active, the page has the focus and the login page marks the account field `autofocus`.
TEST_F(LoginKeyboard, TypingAtOnceFillsTheAccount)
{
    EXPECT_TRUE(driver::PumpUntil([&] { return ::GetForegroundWindow() == pair.login; }, 5000));
    ASSERT_TRUE(driver::PumpUntil([&] { return FocusOf(pair.login) == fields[0]; }, 5000));
    driver::TypeText(L"erin");
    EXPECT_TRUE(driver::PumpUntil([&] { return FieldText(fields[0]).ends_with(L"erin"); }, 5000))
        << driver::WideToUtf8(FieldText(fields[0]));
    driver::PressKey(VK_TAB);
    EXPECT_TRUE(driver::PumpUntil([&] { return FocusOf(pair.login) == fields[1]; }, 5000)) << "document order";
}

}  // namespace
