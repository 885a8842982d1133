// iButton as a screen reader in another process sees it: role, name and states read through
// the window's accessible object, the default action clicking it, name changes announced, and
// an object kept past the button's end answering "not connected".

#include <gtest/gtest.h>
#include <ole2.h>
#include <oleacc.h>

#include <memory>

#include "controls/iButton.h"
#include "runtime/Screen.h"
#include "tests/driver/AccessibleWalk.h"
#include "tests/wine/controls/ControlsTestSupport.h"

using namespace controls_test;
using corvane::iButton;

namespace {

class IButtonAccessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ::OleInitialize(nullptr);
        s_form = ShowSuiteHost(L"IButtonAccessHost", 100, 100, 400, 200);
    }
    static void TearDownTestSuite()
    {
        CloseSuiteHost(s_form);
        ::OleUninitialize();
    }

    std::unique_ptr<iButton> MakeButton(int x, const std::wstring& caption)
    {
        auto b = std::make_unique<iButton>();
        const rt::TwipsScale s = rt::Screen::Scale();
        b->Create(s_form->hWnd(), s.ScaleXToTwips(x), s.ScaleYToTwips(10), s.ScaleXToTwips(60), s.ScaleYToTwips(30));
        b->SetCaption(caption);
        b->SetVisible(true);
        return b;
    }

    static HostForm* s_form;
};

HostForm* IButtonAccessTest::s_form = nullptr;

TEST_F(IButtonAccessTest, ReaderSeesRoleNameAndStates)
{
    auto plain = MakeButton(10, L"确定");
    auto picture = MakeButton(80, L"");
    picture->SetAccessibleName(L"关闭");
    auto twoState = MakeButton(150, L"记住");
    twoState->SetStyle(1);
    twoState->SetValue(true);
    auto disabled = MakeButton(220, L"否");
    disabled->SetEnabled(false);
    auto hidden = MakeButton(290, L"隐藏");
    hidden->SetVisible(false);
    ::SetFocus(plain->hWnd());

    struct Case {
        const char* what;
        iButton* button;
        long role;
        std::wstring name;
        unsigned long mustHave;
        unsigned long mustLack;
    };
    const Case cases[] = {
        {"caption, focused", plain.get(), ROLE_SYSTEM_PUSHBUTTON, L"确定", STATE_SYSTEM_FOCUSED | STATE_SYSTEM_FOCUSABLE,
         STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE},
        {"picture only", picture.get(), ROLE_SYSTEM_PUSHBUTTON, L"关闭", STATE_SYSTEM_FOCUSABLE, STATE_SYSTEM_FOCUSED},
        {"two-state", twoState.get(), ROLE_SYSTEM_CHECKBUTTON, L"记住", STATE_SYSTEM_CHECKED, 0},
        {"disabled", disabled.get(), ROLE_SYSTEM_PUSHBUTTON, L"否", STATE_SYSTEM_UNAVAILABLE, 0},
        {"hidden", hidden.get(), ROLE_SYSTEM_PUSHBUTTON, L"隐藏", STATE_SYSTEM_INVISIBLE, 0},
    };
    for (const Case& c : cases) {
        const std::vector<driver::AccessibleNode> tree = driver::AccessibleTree(c.button->hWnd());
        ASSERT_EQ(tree.size(), 1u) << c.what;
        EXPECT_EQ(tree[0].role, c.role) << c.what;
        EXPECT_EQ(tree[0].name, c.name) << c.what;
        EXPECT_EQ(tree[0].action, L"按下") << c.what;
        EXPECT_EQ(tree[0].state & c.mustHave, c.mustHave) << c.what << " state " << std::hex << tree[0].state;
        EXPECT_EQ(tree[0].state & c.mustLack, 0u) << c.what << " state " << std::hex << tree[0].state;
        RECT window{};
        ::GetWindowRect(c.button->hWnd(), &window);
        EXPECT_TRUE(::EqualRect(&window, &tree[0].place)) << c.what;
    }
}

TEST_F(IButtonAccessTest, DefaultActionClicksFromAnotherProcess)
{
    auto button = MakeButton(10, L"是");
    int clicks = 0;
    button->Click = [&] { ++clicks; };
    EXPECT_EQ(driver::AccessibleAction(button->hWnd(), L"do", 0), S_OK);
    EXPECT_TRUE(driver::PumpUntil([&] { return clicks == 1; }, 3000));

    auto twoState = MakeButton(80, L"记住");
    twoState->SetStyle(1);
    EXPECT_EQ(driver::AccessibleAction(twoState->hWnd(), L"do", 0), S_OK);
    EXPECT_TRUE(driver::PumpUntil([&] { return twoState->Value(); }, 3000));
    const auto tree = driver::AccessibleTree(twoState->hWnd());
    ASSERT_EQ(tree.size(), 1u);
    EXPECT_TRUE(tree[0].state & STATE_SYSTEM_CHECKED);

    // A disabled button takes no action, as it takes no key.
    button->SetEnabled(false);
    EXPECT_EQ(driver::AccessibleAction(button->hWnd(), L"do", 0), S_OK);
    driver::Pump(200);
    EXPECT_EQ(clicks, 1);
    // A child the button does not have.
    EXPECT_EQ(driver::AccessibleAction(button->hWnd(), L"do", 3), E_INVALIDARG);
}

TEST_F(IButtonAccessTest, RenamingIsAnnounced)
{
    auto button = MakeButton(10, L"");
    button->SetAccessibleName(L"最大化");
    const driver::WinEventRecorder events(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE);
    ASSERT_TRUE(events);
    button->SetAccessibleName(L"还原");
    button->SetAccessibleName(L"还原");  // no change, no event
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_NAMECHANGE, button->hWnd(), CHILDID_SELF, 3000));
    driver::Pump(100);
    EXPECT_EQ(events.Count(EVENT_OBJECT_NAMECHANGE, button->hWnd(), CHILDID_SELF), 1);
    EXPECT_EQ(driver::AccessibleTree(button->hWnd())[0].name, L"还原");
}

TEST_F(IButtonAccessTest, ObjectOutlivingItsButtonIsDisconnected)
{
    auto button = MakeButton(10, L"是");
    const driver::ComRef<IAccessible> object = driver::ClientObject(button->hWnd());
    ASSERT_TRUE(object);
    const VARIANT self = driver::ChildId(CHILDID_SELF);
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(self, &name), S_OK);
    ::SysFreeString(name);
    button.reset();
    name = nullptr;
    const HRESULT after = object->get_accName(self, &name);
    EXPECT_TRUE(after == CO_E_OBJNOTCONNECTED || after == E_FAIL) << std::hex << after;
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(object->accDoDefaultAction(self), after);
}

}  // namespace
