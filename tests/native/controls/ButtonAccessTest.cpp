#include <gtest/gtest.h>

#include "controls/ButtonAccess.h"

namespace {

using namespace rt::acc;
using corvane::ButtonFacts;
using corvane::DescribeButton;

TEST(ButtonAccess, RoleNameAndStatesFromTheButton)
{
    struct Case {
        const char* what;
        ButtonFacts facts;
        long role;
        unsigned long state;
        std::wstring name;
    };
    const Case cases[] = {
        {"caption", {L"确定", L"", 0, false, false}, kRolePushButton, kStateFocusable, L"确定"},
        {"picture only", {L"", L"关闭", 0, false, false}, kRolePushButton, kStateFocusable, L"关闭"},
        {"given name wins", {L"X", L"最小化", 0, false, false}, kRolePushButton, kStateFocusable, L"最小化"},
        {"held down", {L"是", L"", 0, false, true}, kRolePushButton, kStateFocusable | kStatePressed, L"是"},
        {"two-state off", {L"记住", L"", 1, false, false}, kRoleCheckButton, kStateFocusable, L"记住"},
        {"two-state on", {L"记住", L"", 1, true, false}, kRoleCheckButton, kStateFocusable | kStateChecked, L"记住"},
        // A one-state button never reads as checked, whatever its value holds.
        {"one-state value", {L"否", L"", 0, true, false}, kRolePushButton, kStateFocusable, L"否"},
    };
    for (const Case& c : cases) {
        const Item item = DescribeButton(c.facts);
        EXPECT_EQ(item.role, c.role) << c.what;
        EXPECT_EQ(item.state, c.state) << c.what;
        EXPECT_EQ(item.name, c.name) << c.what;
        EXPECT_EQ(item.defaultAction, L"按下") << c.what;
        EXPECT_TRUE(item.value.empty()) << c.what;
    }
}

}  // namespace
